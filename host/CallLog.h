#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace aaxhost
{
/** One call a host object received: the object's name, the method and its arguments as text. */
struct CallRecord
{
    std::string object;
    std::string method;
    std::string args;

    /** "object.method(args)". */
    std::string Text() const;
};

/** The ordered record of every call the host objects of one host received, shared by those
    objects. Also hands out their names ("map#1", "map#2", ...). Thread-safe. */
class CallLog
{
public:
    void Add(CallRecord record);

    std::vector<CallRecord> Records() const;

    /** Texts of all records in order; QueryInterface records only when asked for. */
    std::vector<std::string> Texts(bool includeQueries = false) const;

    /** Texts of the records of one object, without the object's name: "method(args)". */
    std::vector<std::string> TextsOf(const std::string& object, bool includeQueries = false) const;

    /** Texts of the records of one method across all objects. */
    std::vector<std::string> TextsOfMethod(const std::string& method) const;

    /** Number of records of one method across all objects. */
    size_t Count(const std::string& method) const;

    void Clear();

    /** A new name for an object of `kind`: kind#1, kind#2, ... */
    std::string NextName(const std::string& kind);

private:
    mutable std::mutex mMutex;
    std::vector<CallRecord> mRecords;
    std::map<std::string, uint32_t> mCounters;
};
} // namespace aaxhost
