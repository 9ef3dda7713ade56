#pragma once

#include <string>

#include "AAX_IString.h"

/** The plug-in's text: an owned byte string behind the AAX_IString interface.

    Copies are independent values. Positions and lengths count bytes; positions past the end are
    clamped, so no host-facing call can fail on them. Not synchronised: one thread at a time.
*/
class AAX_CString : public AAX_IString
{
public:
    AAX_CString() = default;

    /** A copy of `text`; null gives the empty text. Deliberately implicit, so that a C text can
        stand where an AAX_CString is expected. */
    AAX_CString(const char* text);

    explicit AAX_CString(const std::string& text);
    AAX_CString(const AAX_CString& other) = default;
    AAX_CString(AAX_CString&& other) noexcept = default;

    /** A copy of the other text's Get(). */
    explicit AAX_CString(const AAX_IString& other);

    AAX_CString& operator=(const AAX_CString& other);
    AAX_CString& operator=(AAX_CString&& other) noexcept;

    /** Assigns the other text up to its first zero byte. */
    AAX_CString& operator=(const AAX_IString& other) override;

    /** Assigns `text` up to its first zero byte; null gives the empty text. */
    AAX_CString& operator=(const char* text) override;

    uint32_t Length() const override;

    /** Always 0xFFFFFFFE. */
    uint32_t MaxLength() const override;

    const char* Get() const override;
    void Set(const char* text) override;

    /** The zero-terminated text, as Get(). */
    const char* CString() const;

    /** The text as a standard string (read-only). */
    const std::string& StdString() const { return mString; }

    void Clear();

    /** Removes up to `count` bytes starting at `pos`; a position past the end removes nothing. */
    AAX_CString& Erase(uint32_t pos, uint32_t count);

    AAX_CString& Append(const AAX_CString& other);
    AAX_CString& Append(const char* text);

    /** Appends `number` in fixed notation with `precision` digits after the point (negative
        precision counts as 0), classic locale: 1.5 with precision 3 appends "1.500". */
    AAX_CString& AppendNumber(double number, int32_t precision);

    /** Parses a leading decimal number (leading blanks skipped, classic locale, trailing text
        ignored). On failure *out = 0 and false; a null `out` gives false. */
    bool ToDouble(double* out) const;

    /** Sets `out` to at most `count` bytes from `pos` (fewer when the text ends first; nothing
        when `pos` is past the end). A null `out` is ignored. */
    void SubString(uint32_t pos, uint32_t count, AAX_IString* out) const;

    /** Byte-wise comparison up to the first zero byte of each text. */
    bool operator==(const AAX_CString& other) const;
    bool operator!=(const AAX_CString& other) const;
    bool operator<(const AAX_CString& other) const;

    /** The byte at `index`, without a bounds check. */
    char& operator[](uint32_t index);
    const char& operator[](uint32_t index) const;

private:
    std::string mString;
};
