#pragma once

#include <cstddef>
#include <utility>

#include "IACFComponentFactory.h"
#include "IACFUnknown.h"

/** Holds one counted reference to an interface of a host object, or nothing.

    The destructor releases the reference. Member access through an empty holder throws the int
    ACF_E_POINTER (0x80000005); wrappers test the holder before use wherever a missing host
    interface must become a result code instead. A holder is not synchronised: share it between
    threads only for reading.
*/
template <class T>
class ACFPtr
{
public:
    ACFPtr() noexcept = default;
    ACFPtr(std::nullptr_t) noexcept {}

    /** Queries `unknown` for `iid`. A null unknown throws the int ACF_E_INVALIDARG and a negative
        query result is thrown as an int; the holder is then empty. */
    ACFPtr(const acfIID& iid, IACFUnknown* unknown)
    {
        if (unknown == nullptr)
            throw static_cast<int>(ACF_E_INVALIDARG);

        const ACFRESULT result = QueryFrom(unknown, iid);
        if (result < 0)
        {
            reset();
            throw static_cast<int>(result);
        }
    }

    ACFPtr(const ACFPtr& other) noexcept
        : mPtr(other.mPtr)
    {
        if (mPtr != nullptr)
            mPtr->AddRef();
    }

    ACFPtr(ACFPtr&& other) noexcept
        : mPtr(other.mPtr)
    {
        other.mPtr = nullptr;
    }

    ~ACFPtr() { reset(); }

    /** Takes the other holder's pointer with a reference of its own; self-assignment does nothing. */
    ACFPtr& operator=(const ACFPtr& other)
    {
        if (this != &other)
        {
            T* const incoming = other.mPtr;
            if (incoming != nullptr)
                incoming->AddRef();
            reset();
            mPtr = incoming;
        }
        return *this;
    }

    ACFPtr& operator=(ACFPtr&& other)
    {
        if (this != &other)
        {
            reset();
            mPtr = other.mPtr;
            other.mPtr = nullptr;
        }
        return *this;
    }

    /** The held pointer; throws the int ACF_E_POINTER when empty. */
    T* operator->() const
    {
        if (mPtr == nullptr)
            throw static_cast<int>(ACF_E_POINTER);
        return mPtr;
    }

    T* get() const noexcept { return mPtr; }
    explicit operator bool() const noexcept { return mPtr != nullptr; }

    /** Releases the held reference, if any, and leaves the holder empty. */
    void reset()
    {
        if (T* const old = mPtr)
        {
            mPtr = nullptr;
            old->Release();
        }
    }

    /** Releases the held reference and takes over `ptr` together with the reference it carries. */
    void attach(T* ptr)
    {
        reset();
        mPtr = ptr;
    }

    /** Gives up the held pointer and its reference to the caller. */
    T* detach() noexcept
    {
        T* const ptr = mPtr;
        mPtr = nullptr;
        return ptr;
    }

    /** Releases the held reference, then queries `unknown` for `iid` and keeps whatever pointer
        the host wrote. Returns the host's result; a null unknown gives ACF_E_INVALIDARG. */
    ACFRESULT QueryFrom(IACFUnknown* unknown, const acfIID& iid)
    {
        reset();
        if (unknown == nullptr)
            return ACF_E_INVALIDARG;

        void* raw = nullptr;
        const ACFRESULT result = unknown->QueryInterface(iid, &raw);
        mPtr = static_cast<T*>(raw);
        return result;
    }

    /** Releases the held reference, then has `factory` create a component of class `clsid` and
        keeps its `iid` interface. Returns the factory's result; a null factory gives
        ACF_E_INVALIDARG. */
    ACFRESULT CreateFrom(IACFComponentFactory* factory, const acfCLSID& clsid, const acfIID& iid)
    {
        reset();
        if (factory == nullptr)
            return ACF_E_INVALIDARG;

        void* raw = nullptr;
        const ACFRESULT result = factory->CreateComponent(clsid, nullptr, iid, &raw);
        mPtr = static_cast<T*>(raw);
        return result;
    }

private:
    T* mPtr = nullptr;
};
