#pragma once
#include <cstdint>

// The stream through which every asset and record file is read or written.
// Multi-byte values come as they stand; big-endian formats swap themselves.
class File {
public:
    virtual ~File() = default;
    // A new stream of the same kind and configuration, not open; caller owns it.
    virtual File* clone() = 0;
    virtual bool exists(const char* name) = 0;
    virtual bool open(const char* name) = 0;
    virtual bool create(const char* name) = 0;
    virtual bool close() = 0;
    virtual int32_t read(void* buffer, uint32_t count) = 0;
    virtual int32_t write(const void* buffer, uint32_t count) = 0;
    virtual bool seek(uint32_t position) = 0;
    virtual bool skip(int32_t count) = 0;
    virtual uint32_t tell() = 0;

    uint32_t getSize() const { return m_size; }

    // Reads until `count` bytes are in or the stream ends; the bytes read.
    uint32_t readFully(void* buffer, uint32_t count) {
        auto* bytes = static_cast<uint8_t*>(buffer);
        uint32_t done = 0;
        while (done < count) {
            int32_t n = read(bytes + done, count - done);
            if (n <= 0) break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }

protected:
    uint32_t m_size = 0;
};

// The source every loader reads the game's assets through; the program sets it.
extern File* g_fileSystem;
