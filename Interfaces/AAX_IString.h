#pragma once

#include <cstdint>

/** A text handed across the host boundary: 8-bit characters, no encoding conversion, lengths in
    bytes. Either side may supply the implementation; the plug-in's is AAX_CString. */
class AAX_IString
{
public:
    virtual ~AAX_IString() = default;

    /** Number of bytes in the text. */
    virtual uint32_t Length() const = 0;

    /** Largest length the implementation can hold. */
    virtual uint32_t MaxLength() const = 0;

    /** The zero-terminated text; valid until the next change. */
    virtual const char* Get() const = 0;

    /** Replaces the text with `text` up to its first zero byte; null gives the empty text. */
    virtual void Set(const char* text) = 0;

    virtual AAX_IString& operator=(const AAX_IString& other) = 0;
    virtual AAX_IString& operator=(const char* text) = 0;

protected:
    AAX_IString() = default;
    AAX_IString(const AAX_IString&) = default;
};
