#pragma once

// Random access to the bytes of an archive, whatever holds them. The archive
// reader only ever asks for a range at an offset, so a memory block and a
// file serve it alike, and a short read is an error, never a partial result.

#include <cstddef>
#include <cstdint>
#include <cstring>

class IByteSource {
public:
    virtual ~IByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies exactly length bytes starting at offset; false when the range
    // does not lie wholly inside the source or the read fails.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t length) = 0;
};

// A block of memory that the caller keeps alive; nothing is copied.
class CMemoryByteSource : public IByteSource {
public:
    CMemoryByteSource(const void* bytes, size_t length)
        : m_bytes(static_cast<const unsigned char*>(bytes)), m_length(bytes ? length : 0) {}

    uint64_t Size() const override { return m_length; }

    bool ReadAt(uint64_t offset, void* buffer, size_t length) override
    {
        if (offset > m_length || length > m_length - offset) return false;
        if (length) std::memcpy(buffer, m_bytes + offset, length);
        return true;
    }

private:
    const unsigned char* m_bytes;
    size_t m_length;
};
