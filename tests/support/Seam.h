// Puts a function of the test's own in one of the program's seams for the life
// of the object, and the original back after it.
#pragma once

template <typename Function>
class ScopedSeam {
public:
    ScopedSeam(Function& seam, Function replacement) : m_seam(seam), m_original(seam) { seam = replacement; }
    ~ScopedSeam() { m_seam = m_original; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Function& m_seam;
    Function m_original;
};
