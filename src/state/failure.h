#pragma once

#include <cstdint>
#include <exception>

namespace tenso {

// Failure numbers. The data-file message shows them to the user, so they keep the classic
// run-time error numbers that users of older evaluation tools look up.
namespace failure {
inline constexpr int16_t InvalidCall = 5;  // a plot scale of zero width or height
inline constexpr int16_t Overflow = 6;  // a value beyond its type (Single, Integer)
inline constexpr int16_t OutOfRange = 9;  // a record above 2000, a 201st valley
inline constexpr int16_t DivisionByZero = 11;  // a zero divisor, 0/0 included
inline constexpr int16_t TypeMismatch = 13;  // text where a number is needed
inline constexpr int16_t BadFileName = 52;  // a path the system cannot take
inline constexpr int16_t FileNotFound = 53;
inline constexpr int16_t DeviceIo = 57;  // a read error of the medium
inline constexpr int16_t PastEnd = 62;  // reading past the end of the file
inline constexpr int16_t TooManyFiles = 67;
inline constexpr int16_t PermissionDenied = 70;
inline constexpr int16_t AccessError = 75;  // a folder, device, FIFO or other non-file
inline constexpr int16_t PathNotFound = 76;  // a folder of the path is missing
}  // namespace failure

// Thrown by the reader and by the checked arithmetic; the handler that started the work catches it
// and reports it. The state keeps whatever was written before the throw.
struct Failure : std::exception {
    explicit Failure(int16_t n) noexcept
        : number(n)
    { }
    const char* what() const noexcept override { return "tenso failure"; }
    int16_t number;
};

}  // namespace tenso
