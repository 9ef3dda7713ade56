#pragma once

#include <string>

#include "AAX_Errors.h"

namespace AAX
{
namespace Exception
{
/** Base of the library's exceptions, thrown only during plug-in registration and caught there.
    Deliberately not derived from std::exception. */
class Any
{
public:
    explicit Any(const std::string& description, const std::string& function = std::string(),
                 const std::string& line = std::string());
    virtual ~Any() = default;

    Any(const Any&) = default;
    Any(Any&&) = default;
    Any& operator=(const Any&) = default;
    Any& operator=(Any&&) = default;

    const std::string& Desc() const { return mDesc; }
    const std::string& Function() const { return mFunction; }
    const std::string& Line() const { return mLine; }

    /** The description, then " func:" and the function when there is one, then " line:" and the
        line when there is one. */
    const std::string& What() const { return mWhat; }

    static std::string CreateWhat(const std::string& description, const std::string& function, const std::string& line);

private:
    std::string mDesc;
    std::string mFunction;
    std::string mLine;
    std::string mWhat;
};

/** A failing result code turned into an exception; its description is FormatResult(code). */
class ResultError : public Any
{
public:
    explicit ResultError(AAX_Result result);

    AAX_Result Result() const { return mResult; }

    /** The code's name, " (", the code in signed decimal and ")": "AAX_ERROR_NULL_OBJECT (-20004)". */
    static std::string FormatResult(AAX_Result result);

private:
    AAX_Result mResult;
};
} // namespace Exception
} // namespace AAX
