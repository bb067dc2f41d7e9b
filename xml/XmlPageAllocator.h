#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

// An allocator that takes large blocks straight from the system and gives them straight back.
// Buffers filled on one thread and freed on another would otherwise stay in the first thread's
// heap after a large document is read; small ones come from the heap as usual.
template <class T> struct XmlPageAllocator
{
    using value_type = T;
    static constexpr std::size_t Large = std::size_t(64) << 10;

    XmlPageAllocator() = default;
    template <class U> XmlPageAllocator(XmlPageAllocator<U> const&) {}

    T* allocate(std::size_t n)
    {
        std::size_t const bytes = n * sizeof(T);
        if (bytes < Large) {
            if (void* p = std::malloc(bytes))
                return static_cast<T*>(p);
            throw std::bad_alloc();
        }
        void* p =
            ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n)
    {
        std::size_t const bytes = n * sizeof(T);
        if (bytes < Large)
            std::free(p);
        else
            ::munmap(p, bytes);
    }

    template <class U> bool operator==(XmlPageAllocator<U> const&) const { return true; }
};
