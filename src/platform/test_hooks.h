/*
 * Test hooks that only the host build has: allocation-failure injection and
 * a count of live global-heap blocks. On the real platform the hooks report
 * that they are not available, and tests that need them skip.
 */
#ifndef LUMA_TEST_HOOKS_H
#define LUMA_TEST_HOOKS_H

#ifdef __cplusplus
extern "C" {
#endif

#ifdef LUMA_HOST_BUILD
/* Makes the n-th global-heap allocation from now on fail (GlobalAlloc and
 * growing GlobalReAlloc both count); with sticky set, every one after it
 * fails too. n = 0 switches injection off. */
void HostFailAllocation(unsigned n, int sticky);
/* Allocations attempted since the process started (failed ones included). */
unsigned long HostAllocationCount(void);
/* Global-heap blocks allocated and not yet freed. */
long HostLiveBlocks(void);
static inline int HostHooksAvailable(void) { return 1; }
#else
static inline void HostFailAllocation(unsigned n, int sticky) { (void)n; (void)sticky; }
static inline unsigned long HostAllocationCount(void) { return 0; }
static inline long HostLiveBlocks(void) { return 0; }
static inline int HostHooksAvailable(void) { return 0; }
#endif

#ifdef __cplusplus
}
#endif

#endif
