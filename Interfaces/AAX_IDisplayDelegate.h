#pragma once

#include <cstdint>

class AAX_CString;

/** Untyped base of the display delegates: what a parameter accepts when its display is replaced. */
class AAX_IDisplayDelegateBase
{
public:
    virtual ~AAX_IDisplayDelegateBase() = default;
};

/** Converts between a parameter's real value of type `T` and its text. Limits count characters.
    A parameter keeps a Clone of the delegate it is given; any thread may call a delegate that is
    not being changed. */
template <typename T>
class AAX_IDisplayDelegate : public AAX_IDisplayDelegateBase
{
public:
    /** A new delegate of the same class and state, owned by the caller. */
    virtual AAX_IDisplayDelegate* Clone() const = 0;

    /** Writes the full text of `value`; false when `text` is null. */
    virtual bool ValueToString(T value, AAX_CString* text) const = 0;

    /** Writes a text of `value` that fits `limit` characters where the delegate can make one. */
    virtual bool ValueToString(T value, int32_t limit, AAX_CString* text) const = 0;

    /** Reads a value from `text`; false when the text does not hold one. */
    virtual bool StringToValue(const AAX_CString& text, T* value) const = 0;
};
