#include "AAX_CString.h"

#include <cstring>
#include <locale>
#include <sstream>

AAX_CString::AAX_CString(const char* text)
    : mString(text != nullptr ? text : "")
{
}

AAX_CString::AAX_CString(const std::string& text)
    : mString(text.c_str())
{
}

AAX_CString::AAX_CString(const AAX_IString& other)
    : AAX_CString(other.Get())
{
}

AAX_CString& AAX_CString::operator=(const AAX_CString& other)
{
    mString = other.mString;
    return *this;
}

AAX_CString& AAX_CString::operator=(AAX_CString&& other) noexcept
{
    mString = std::move(other.mString);
    return *this;
}

AAX_CString& AAX_CString::operator=(const AAX_IString& other)
{
    if (&other != this)
        Set(other.Get());
    return *this;
}

AAX_CString& AAX_CString::operator=(const char* text)
{
    Set(text);
    return *this;
}

uint32_t AAX_CString::Length() const
{
    return static_cast<uint32_t>(mString.size());
}

uint32_t AAX_CString::MaxLength() const
{
    return 0xFFFFFFFEu;
}

const char* AAX_CString::Get() const
{
    return mString.c_str();
}

void AAX_CString::Set(const char* text)
{
    // assign() copies before it releases, so a text pointing into this string is safe.
    if (text == nullptr)
        mString.clear();
    else
        mString.assign(text, std::strlen(text));
}

const char* AAX_CString::CString() const
{
    return mString.c_str();
}

void AAX_CString::Clear()
{
    mString.clear();
}

AAX_CString& AAX_CString::Erase(uint32_t pos, uint32_t count)
{
    if (pos < mString.size())
        mString.erase(pos, count);
    return *this;
}

AAX_CString& AAX_CString::Append(const AAX_CString& other)
{
    mString.append(other.Get());
    return *this;
}

AAX_CString& AAX_CString::Append(const char* text)
{
    if (text != nullptr)
        mString.append(text);
    return *this;
}

AAX_CString& AAX_CString::AppendNumber(double number, int32_t precision)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.setf(std::ios::fixed, std::ios::floatfield);
    stream.precision(precision < 0 ? 0 : precision);
    stream << number;
    mString.append(stream.str());
    return *this;
}

bool AAX_CString::ToDouble(double* out) const
{
    if (out == nullptr)
        return false;

    std::istringstream stream(mString);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail() || stream.bad())
    {
        *out = 0.0;
        return false;
    }
    *out = value;
    return true;
}

void AAX_CString::SubString(uint32_t pos, uint32_t count, AAX_IString* out) const
{
    if (out == nullptr)
        return;

    if (pos >= mString.size())
        out->Set("");
    else
        out->Set(mString.substr(pos, count).c_str());
}

bool AAX_CString::operator==(const AAX_CString& other) const
{
    return std::strcmp(Get(), other.Get()) == 0;
}

bool AAX_CString::operator!=(const AAX_CString& other) const
{
    return !(*this == other);
}

bool AAX_CString::operator<(const AAX_CString& other) const
{
    return std::strcmp(Get(), other.Get()) < 0;
}

char& AAX_CString::operator[](uint32_t index)
{
    return mString[index];
}

const char& AAX_CString::operator[](uint32_t index) const
{
    return mString[index];
}
