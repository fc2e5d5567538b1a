// Moves the code linked after this file by DRV_PLACEMENT_PAD bytes past a
// 64-byte boundary. A byte-at-a-time loop can run up to twice as fast or as
// slow depending only on where it lands (its address modulo 64); building
// the same benchmark with the code moved shows how much of a figure is
// placement.
#define DRV_PAD_TEXT(bytes) #bytes
#define DRV_PAD(bytes) DRV_PAD_TEXT(bytes)
asm(".text\n.balign 64\n.skip " DRV_PAD(DRV_PLACEMENT_PAD) ", 0x90\n");
