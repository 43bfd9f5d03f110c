#include "support/UGuard.h"

#include <new>
#include <stdexcept>

const wchar_t* EscapedExceptionText() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return L"out of memory";
    } catch (const std::length_error&) {
        return L"a text or list grew past its limit";
    } catch (...) {
        return L"an unexpected error";
    }
}
