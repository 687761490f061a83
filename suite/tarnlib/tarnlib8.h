/* The suite's second library: the Watcher loads it and calls its initialization once. */
#ifndef CORVANA_TARNLIB8_H
#define CORVANA_TARNLIB8_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Initializes the library for this process. Writes the library version into *version1 and
 * *version2 and the number of earlier initializations of this process into the other four; every
 * pointer may be null. Returns 0. */
__attribute__((visibility("default"))) int32_t TarnlibInitLibraryVB(int32_t* version1, int32_t* version2,
                                                                    int32_t* count1, int32_t* count2,
                                                                    int32_t* count3, int32_t* count4);

#ifdef __cplusplus
}
#endif

#endif
