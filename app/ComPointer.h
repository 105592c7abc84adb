#pragma once

#include <unknwn.h>

// Owns one reference to a COM interface and releases it when it goes.
template <class T>
class CComPointer {
public:
    CComPointer() = default;
    ~CComPointer() { Reset(); }
    CComPointer(const CComPointer&) = delete;
    CComPointer& operator=(const CComPointer&) = delete;

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For the out-parameter of a creating call; drops what was held before.
    void** Receive()
    {
        Reset();
        return reinterpret_cast<void**>(&m_pointer);
    }

    void Reset()
    {
        if (m_pointer) m_pointer->Release();
        m_pointer = nullptr;
    }

private:
    T* m_pointer = nullptr;
};
