// Byte buffers fenced by pages the process may not touch, so that a read
// or write one byte outside the buffer, even inside a vector load, stops
// the test with a fault instead of passing unseen.
//
// GuardedBytes(n, Fence::After) places the n bytes so that the last one is
// the last byte before an inaccessible page; Fence::Before puts the first
// byte right after one. Both ends cannot be fenced at once unless n is a
// multiple of the page size, hence the choice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace drv::test {

enum class Fence { Before, After };

class GuardedBytes {
public:
    GuardedBytes(std::size_t size, Fence fence) : size_(size) {
        const std::size_t page = pageSize();
        const std::size_t dataPages = (size + page - 1) / page;
        mapped_ = (dataPages + 2) * page;
        base_ = static_cast<std::uint8_t *>(reserve(mapped_));
        if (base_ == nullptr) {
            return;
        }
        protect(base_, page);
        protect(base_ + (dataPages + 1) * page, page);
        std::uint8_t *first = base_ + page;
        data_ = fence == Fence::Before ? first : first + dataPages * page - size;
    }
    GuardedBytes(const GuardedBytes &) = delete;
    GuardedBytes &operator=(const GuardedBytes &) = delete;
    ~GuardedBytes() {
        if (base_ != nullptr) {
            release(base_, mapped_);
        }
    }

    bool ok() const { return data_ != nullptr; }
    std::uint8_t *data() { return data_; }
    std::size_t size() const { return size_; }
    void fill(const std::uint8_t *bytes) {
        if (size_ > 0) {
            std::memcpy(data_, bytes, size_);
        }
    }

private:
#if defined(_WIN32)
    static std::size_t pageSize() {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwPageSize;
    }
    static void *reserve(std::size_t bytes) {
        return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    }
    static void protect(void *at, std::size_t bytes) {
        DWORD old;
        VirtualProtect(at, bytes, PAGE_NOACCESS, &old);
    }
    static void release(void *at, std::size_t) { VirtualFree(at, 0, MEM_RELEASE); }
#else
    static std::size_t pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }
    static void *reserve(std::size_t bytes) {
        void *at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return at == MAP_FAILED ? nullptr : at;
    }
    static void protect(void *at, std::size_t bytes) { mprotect(at, bytes, PROT_NONE); }
    static void release(void *at, std::size_t bytes) { munmap(at, bytes); }
#endif

    std::size_t size_;
    std::size_t mapped_ = 0;
    std::uint8_t *base_ = nullptr;
    std::uint8_t *data_ = nullptr;
};

}  // namespace drv::test
