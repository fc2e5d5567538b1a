/* Calling convention and export decoration of the driver entry points.
 *
 * Every driver library exports exactly one C function (`pldbin` or
 * `dgdbin`), undecorated, with the platform's C calling convention: cdecl on
 * 32-bit Windows, the System V ABI elsewhere. Hosts include this header
 * through plotter.h or digitizer.h; drivers define DRV_BUILDING_DRIVER so that
 * the one entry they implement is exported and everything else stays hidden.
 */
#ifndef DRVSUITE_EXPORT_H
#define DRVSUITE_EXPORT_H

#if defined(_WIN32)
#  define DRV_CALL __cdecl
#  if defined(DRV_BUILDING_DRIVER)
#    define DRV_ENTRY __declspec(dllexport)
#  else
#    define DRV_ENTRY
#  endif
#else
#  define DRV_CALL
#  if defined(DRV_BUILDING_DRIVER)
#    define DRV_ENTRY __attribute__((visibility("default")))
#  else
#    define DRV_ENTRY
#  endif
#endif

#ifdef __cplusplus
#  define DRV_EXTERN_C extern "C"
#else
#  define DRV_EXTERN_C
#endif

/* Compile-time layout checks usable from both C11 and C++. */
#ifdef __cplusplus
#  define DRV_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#  define DRV_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#endif /* DRVSUITE_EXPORT_H */
