#pragma once

#include <string>

#include "AAX_IString.h"

namespace aaxhost
{
/** The host's own text for the plug-in to write into (ids, names, value texts): the AAX_IString
    the host side supplies, since the host does not link the plug-in's library. */
class HostString final : public AAX_IString
{
public:
    HostString() = default;
    explicit HostString(const char* text) { Set(text); }

    uint32_t Length() const override { return uint32_t(mText.size()); }
    uint32_t MaxLength() const override { return 0xFFFFu; }
    const char* Get() const override { return mText.c_str(); }

    void Set(const char* text) override
    {
        mText = text != nullptr ? text : "";
        if (mText.size() > MaxLength())
            mText.resize(MaxLength());
    }

    AAX_IString& operator=(const AAX_IString& other) override
    {
        Set(other.Get());
        return *this;
    }

    AAX_IString& operator=(const char* text) override
    {
        Set(text);
        return *this;
    }

    const std::string& Text() const { return mText; }

private:
    std::string mText;
};
} // namespace aaxhost
