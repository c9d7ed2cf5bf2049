#pragma once

#include <exception>
#include <functional>
#include <string>

// The message of what f throws, or "" when it throws nothing.
inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}
