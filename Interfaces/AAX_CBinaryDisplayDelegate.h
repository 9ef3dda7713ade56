#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "AAX_CString.h"
#include "AAX_IDisplayDelegate.h"

/** Shows an on/off value as one of two texts, with optional shortened forms for small limits.
    Parsing accepts only the two full texts, exactly (case-sensitive). */
template <typename T>
class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    /** Shortened texts for limits up to mStrLength characters. */
    struct StringTable
    {
        int32_t mStrLength;
        AAX_CString mFalseString;
        AAX_CString mTrueString;
    };

    /** Null texts count as empty. */
    AAX_CBinaryDisplayDelegate(const char* falseString, const char* trueString)
        : mFalseString(falseString)
        , mTrueString(trueString)
        , mMaxStrLength(std::max(mFalseString.Length(), mTrueString.Length()))
    {
    }

    AAX_CBinaryDisplayDelegate(const AAX_CBinaryDisplayDelegate& other) = default;

    AAX_CBinaryDisplayDelegate* Clone() const override { return new AAX_CBinaryDisplayDelegate(*this); }

    bool ValueToString(T value, AAX_CString* text) const override
    {
        if (text == nullptr)
            return false;
        *text = value ? mTrueString : mFalseString;
        return true;
    }

    /** The full text when it fits `limit` or there are no shortened forms; else the shortened form
        with the largest limit not above `limit`, or the smallest one when none fits. */
    bool ValueToString(T value, int32_t limit, AAX_CString* text) const override
    {
        if (text == nullptr)
            return false;
        if (mShortenedStrings.empty())
            return this->ValueToString(value, text);
        if (uint32_t(std::max(limit, 0)) >= mMaxStrLength)
        {
            *text = value ? mTrueString : mFalseString;
            return true;
        }

        const StringTable* chosen = &mShortenedStrings.front();
        for (auto entry = mShortenedStrings.rbegin(); entry != mShortenedStrings.rend(); ++entry)
        {
            if (entry->mStrLength <= limit)
            {
                chosen = &*entry;
                break;
            }
        }
        *text = value ? chosen->mTrueString : chosen->mFalseString;
        return true;
    }

    /** True when `text` is one of the two full texts; the value is on only for the on text. */
    bool StringToValue(const AAX_CString& text, T* value) const override
    {
        if (value == nullptr)
            return false;
        const bool isTrue = text == mTrueString;
        *value = static_cast<T>(isTrue);
        return isTrue || text == mFalseString;
    }

    /** Adds shortened texts for limits of `strLength` characters and up. Entries with equal limits
        are all kept; which of them is chosen is unspecified. */
    void AddShortenedStrings(const char* falseString, const char* trueString, int32_t strLength)
    {
        mShortenedStrings.push_back(StringTable { strLength, AAX_CString(falseString), AAX_CString(trueString) });
        std::sort(mShortenedStrings.begin(), mShortenedStrings.end(), StringTableSortFunc);
    }

    static bool StringTableSortFunc(const StringTable& a, const StringTable& b) { return a.mStrLength < b.mStrLength; }

private:
    AAX_CString mFalseString;
    AAX_CString mTrueString;
    uint32_t mMaxStrLength;
    std::vector<StringTable> mShortenedStrings;
};
