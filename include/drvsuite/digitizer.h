/* Host-facing interface of the digitizer-tablet drivers.
 *
 * A host loads one tablet library, calls `dgdbin` with DgdOpSetup once to
 * learn the set-up text and the report framing, then once with DgdOpDecode
 * per report it has cut out of the tablet's byte stream. The records are
 * shared with separately built hosts: fixed offsets, little-endian, checked
 * below. Plain C11 and C++.
 */
#ifndef DRVSUITE_DIGITIZER_H
#define DRVSUITE_DIGITIZER_H

#include <stddef.h>
#include <stdint.h>

#include "drvsuite/export.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    /* Longest set-up text: 39 characters and the NUL. */
    DGD_SETUP_TEXT_SIZE = 40,
    /* The host's buffer must hold at least this many bytes: the set-up text
     * with its NUL at op 1, and every offset a decoder reads (0..20) at op 3. */
    DGD_MIN_BUFFER_SIZE = 40,
    /* Highest offset any decoder reads is 20: a report buffer of 21 bytes,
     * zero-filled beyond the report, covers every model. */
    DGD_MIN_REPORT_BUFFER = 21,
    /* The result of a decode that the model's checks turn away. */
    DGD_REJECTED = -9
};

/* Operation codes of DigitizerRequest.op; any other value acts as DgdOpNone. */
enum DgdOp {
    DgdOpSetup = 1,  /* set-up text into the buffer, framing into the profile */
    DgdOpNone = 2,   /* clears the buffer's first byte, nothing else */
    DgdOpDecode = 3  /* decode the report in the buffer into the request */
};

/* The host's record for one configured tablet, 130 bytes. Drivers read the
 * selectors and texts and, at set-up, write frameByte and reportLength; they
 * touch no host-private byte. */
typedef struct DigitizerProfile {
    uint8_t hostPrivate0[14];
    int16_t auxFormat;    /* second format selector (one model reads it) */
    uint8_t hostPrivate1[2];
    int16_t reportFormat; /* 1 or 2: which of the model's report formats */
    uint8_t hostPrivate2[28];
    char setupA[DGD_SETUP_TEXT_SIZE]; /* NUL-terminated, at most 39 chars */
    char setupB[DGD_SETUP_TEXT_SIZE];
    uint8_t frameByte;    /* terminator (ASCII) or first-byte mark mask (binary) */
    uint8_t reportLength; /* declared report length in bytes */
} DigitizerProfile;

/* The host's record for one call; drivers touch these 16 bytes only. */
typedef struct DigitizerRequest {
    int16_t op;
    int16_t button; /* written by a successful decode */
    int32_t x;
    int32_t y;
    int32_t z; /* always 0 after a successful decode */
} DigitizerRequest;

/* The entry point. Returns 0, or DGD_REJECTED when a decoder turns a report
 * away; a turned-away report leaves the request unchanged. */
typedef int32_t(DRV_CALL *DgdbinFunction)(DigitizerProfile *profile, DigitizerRequest *request,
                                          unsigned char *buffer);

DRV_ENTRY int32_t DRV_CALL dgdbin(DigitizerProfile *profile, DigitizerRequest *request,
                                  unsigned char *buffer);

DRV_STATIC_ASSERT(offsetof(DigitizerProfile, auxFormat) == 14, "profile auxFormat");
DRV_STATIC_ASSERT(offsetof(DigitizerProfile, reportFormat) == 18, "profile reportFormat");
DRV_STATIC_ASSERT(offsetof(DigitizerProfile, setupA) == 48, "profile setupA");
DRV_STATIC_ASSERT(offsetof(DigitizerProfile, setupB) == 88, "profile setupB");
DRV_STATIC_ASSERT(offsetof(DigitizerProfile, frameByte) == 128, "profile frameByte");
DRV_STATIC_ASSERT(offsetof(DigitizerProfile, reportLength) == 129, "profile reportLength");
DRV_STATIC_ASSERT(sizeof(DigitizerProfile) == 130, "profile is 130 bytes");
DRV_STATIC_ASSERT(offsetof(DigitizerRequest, op) == 0, "request op");
DRV_STATIC_ASSERT(offsetof(DigitizerRequest, button) == 2, "request button");
DRV_STATIC_ASSERT(offsetof(DigitizerRequest, x) == 4, "request x");
DRV_STATIC_ASSERT(offsetof(DigitizerRequest, y) == 8, "request y");
DRV_STATIC_ASSERT(offsetof(DigitizerRequest, z) == 12, "request z");
DRV_STATIC_ASSERT(sizeof(DigitizerRequest) == 16, "request is 16 bytes");

#ifdef __cplusplus
}
#endif

#endif /* DRVSUITE_DIGITIZER_H */
