#pragma once
// A process-wide seam set for one scope. The previous value comes back when
// the scope ends, also when a failed ASSERT or an exception leaves it early,
// so that no setting leaks into the tests that follow.

#include <type_traits>
#include <utility>

namespace korva::testing {

// For seams whose setter installs a value and returns the previous one:
//   ScopedSeam readWait(socket_seam::setReadWaitMs, 200);
template <typename T>
class ScopedSeam {
public:
    using Setter = T (*)(T);
    ScopedSeam(Setter set, std::type_identity_t<T> value) : set_(set), previous_(set(std::move(value))) {}
    ~ScopedSeam() { set_(std::move(previous_)); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Setter set_;
    T previous_;
};

template <typename T>
ScopedSeam(T (*)(T), std::type_identity_t<T>) -> ScopedSeam<T>;

}  // namespace korva::testing
