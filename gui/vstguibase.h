#pragma once

// Base types of the toolkit: the coordinate type (pixels, double), the
// reference-counted object base with remember()/forget(), the SharedPointer
// that holds one reference, the UTF8String text type and view attribute ids.

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

namespace VSTGUI
{
using CCoord = double;
using CViewAttributeID = uint32_t;

// Four characters packed big-endian, as in 'uicv'.
constexpr CViewAttributeID makeAttributeID(char a, char b, char c, char d)
{
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
           uint32_t(uint8_t(d));
}
// The custom-view-name a UI description gives a view ('uicv'), stored as the
// name's bytes without a terminator.
constexpr CViewAttributeID kCViewCustomViewName = makeAttributeID('u', 'i', 'c', 'v');

// Reference counted base: born with one reference; forget() on the last one
// deletes the object.
class CBaseObject
{
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) : refCount(1) {}
    CBaseObject& operator=(const CBaseObject&) { return *this; }
    virtual ~CBaseObject() = default;

    // Atomic: objects such as the shared description's bitmaps and fonts are
    // referenced by the views of windows on more than one thread.
    void remember() { refCount.fetch_add(1, std::memory_order_relaxed); }
    void forget()
    {
        if (refCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int32_t getNbReference() const { return refCount.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> refCount{1};
};

// Holds one reference of a CBaseObject-derived object.
template <class T> class SharedPointer
{
public:
    SharedPointer() = default;
    SharedPointer(T* p, bool doRemember = true) : ptr(p)
    {
        if (ptr && doRemember)
            ptr->remember();
    }
    SharedPointer(const SharedPointer& o) : SharedPointer(o.ptr) {}
    SharedPointer(SharedPointer&& o) noexcept : ptr(std::exchange(o.ptr, nullptr)) {}
    ~SharedPointer()
    {
        if (ptr)
            ptr->forget();
    }
    SharedPointer& operator=(T* p)
    {
        if (p)
            p->remember();
        if (ptr)
            ptr->forget();
        ptr = p;
        return *this;
    }
    SharedPointer& operator=(const SharedPointer& o) { return *this = o.ptr; }
    SharedPointer& operator=(SharedPointer&& o) noexcept
    {
        if (this != &o)
        {
            if (ptr)
                ptr->forget();
            ptr = std::exchange(o.ptr, nullptr);
        }
        return *this;
    }
    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    operator T*() const { return ptr; }

private:
    T* ptr = nullptr;
};

// Takes over a reference the caller already owns (a freshly created object).
template <class T> SharedPointer<T> owned(T* p)
{
    return SharedPointer<T>(p, false);
}

// UTF-8 text as the toolkit passes it around.
class UTF8String
{
public:
    UTF8String() = default;
    UTF8String(const char* s) : str(s ? s : "") {}
    UTF8String(std::string s) : str(std::move(s)) {}
    const std::string& getString() const { return str; }
    const char* data() const { return str.c_str(); }
    const char* get() const { return str.c_str(); }
    operator const std::string&() const { return str; }
    bool empty() const { return str.empty(); }
    size_t length() const { return str.length(); }
    bool operator==(const UTF8String& o) const { return str == o.str; }
    bool operator==(const char* o) const { return str == (o ? o : ""); }

private:
    std::string str;
};
using UTF8StringPtr = const char*;
} // namespace VSTGUI
