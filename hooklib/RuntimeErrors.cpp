// RuntimeErrors.cpp: the library's own versions of the C++ runtime's error paths.
// The library is linked statically and mapped into every program on the desktop. The runtime's
// versions of these functions bring, for texts that nobody reads in a hooked GUI program, the
// symbol demangler (terminate's report on stderr) and the reference-counted string behind the
// standard exception classes: close to half of the library. Defined here, the linker takes
// these and leaves the runtime's objects out.
//
// The containers and strings still throw, only with a fixed-text exception instead of
// std::length_error, std::invalid_argument, std::out_of_range and the like. Nothing in the library catches those
// by type: every procedure boundary catches everything (GuardedCall and the dialog-state guard),
// so a failing handler ends exactly as before.
#include <cstdlib>
#include <exception>
#include <new>

namespace {

class TRuntimeFault final : public std::exception {
public:
    // `what` is the runtime's own literal text, which lives as long as the library.
    explicit TRuntimeFault(const char* what) noexcept : fWhat(what) {}
    const char* what() const noexcept override { return fWhat; }

private:
    const char* fWhat;
};

}  // namespace

namespace __gnu_cxx {
// Called by std::terminate: the runtime's version writes the exception's demangled type to
// stderr first. A hooked program has no console to show it; abort() is what follows either way.
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// Every function of the runtime's object that holds them is defined here, so that no use,
// present or future, brings that object back (the linker would then report each one twice).
namespace std {
[[noreturn]] void __throw_bad_exception() {
    throw std::bad_exception();
}
[[noreturn]] void __throw_bad_alloc() {
    throw std::bad_alloc();
}
[[noreturn]] void __throw_bad_array_new_length() {
    throw TRuntimeFault("bad array new length");
}
[[noreturn]] void __throw_bad_cast() {
    throw TRuntimeFault("bad cast");
}
[[noreturn]] void __throw_bad_typeid() {
    throw TRuntimeFault("bad typeid");
}
[[noreturn]] void __throw_logic_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_domain_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_invalid_argument(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_length_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_out_of_range(const char* what) {
    throw TRuntimeFault(what);
}
// The format's arguments (index and size) are left out of the text.
[[noreturn]] void __throw_out_of_range_fmt(const char* format, ...) {
    throw TRuntimeFault(format);
}
[[noreturn]] void __throw_runtime_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_range_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_overflow_error(const char* what) {
    throw TRuntimeFault(what);
}
[[noreturn]] void __throw_underflow_error(const char* what) {
    throw TRuntimeFault(what);
}
}  // namespace std
