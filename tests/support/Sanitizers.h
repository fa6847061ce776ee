#pragma once
// Whether the tests run under AddressSanitizer. Its allocator ends the process when an
// allocation fails instead of throwing, and its shadow memory needs more address space than
// a small limit leaves, so a test that runs out of memory on purpose skips there.
namespace qv::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace qv::test
