#pragma once
// Sets an object's flag for the guard's lifetime and then puts back the value it found, also on an early
// return or an exception.

template <class C, bool (C::*Get)() const, void (C::*Set)(bool)> class TFlagGuard {
public:
    explicit TFlagGuard(C& object, bool on = true) : object_(object), saved_((object.*Get)()) {
        (object.*Set)(on);
    }
    ~TFlagGuard() { (object_.*Set)(saved_); }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    C& object_;
    bool saved_;
};
