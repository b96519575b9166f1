// Which sanitizer the test program was built with, for tests whose loops must
// be shorter where every memory access is checked.
#pragma once

// WB_ADDRESS_SANITIZER: defined in AddressSanitizer builds (GCC and clang), for
// tests that need the sanitizer's own interface.
#if defined(__SANITIZE_ADDRESS__)
#define WB_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WB_ADDRESS_SANITIZER 1
#endif
#endif

namespace wb::test {

#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kThreadSanitizer = true;
#else
inline constexpr bool kThreadSanitizer = false;
#endif
#else
inline constexpr bool kThreadSanitizer = false;
#endif

// A loop count for a test's stress loop: the full count, or a tenth of it under
// ThreadSanitizer, which runs such loops 5-15 times slower.
constexpr int StressCount(int full) { return kThreadSanitizer ? (full + 9) / 10 : full; }

}  // namespace wb::test
