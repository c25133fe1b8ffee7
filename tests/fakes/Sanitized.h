#pragma once

namespace fakes {

// AddressSanitizer holds freed memory back for a while to catch late uses,
// so resident memory grows there whatever the program does; its leak check
// covers the same ground. Memory figures are checked only without it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

} // namespace fakes
