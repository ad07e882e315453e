#pragma once
// The error classes of the program. Every failure a user can meet is one of
// these with a fixed English message; commands let them travel up to the
// application's handler, which shows the message.
#include <cstdarg>
#include <stdexcept>
#include <string>

namespace orbelin {

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// File and device problems.
class EInOutError : public Exception { using Exception::Exception; };
// A stream held fewer bytes than a read asked for.
class EReadError : public Exception { using Exception::Exception; };
// A text that does not convert to the asked type.
class EConvertError : public Exception { using Exception::Exception; };
// Arithmetic and dimension problems.
class EMathError : public Exception { using Exception::Exception; };
// An index outside the valid range of a container.
class EArgumentOutOfRange : public Exception { using Exception::Exception; };
// A microscope file that cannot be described or read.
class ESciImageReaderError : public EInOutError { using EInOutError::EInOutError; };
// Lattice, labelling and structure-element problems.
class ELatticeError : public EMathError { using EMathError::EMathError; };
// The message-hook facility of the GUI.
class EMessages : public Exception { using Exception::Exception; };

// printf-style formatting into a std::string.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list args);

template <class E>
[[noreturn]] void RaiseError(const std::string& message) {
  throw E(message);
}

template <class E>
[[noreturn]] __attribute__((format(printf, 1, 2))) void RaiseErrorFmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatTextV(format, args);
  va_end(args);
  throw E(message);
}

}  // namespace orbelin
