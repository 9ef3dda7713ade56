#include "CallRecorder.h"

#include <algorithm>
#include <stdexcept>

namespace aaxhost
{
namespace
{
// Selects the calls of `method` that reached `object`.
auto Reached (const HostObject& object, const char* method)
{
    return [name = object.Name(), method] (const CallRecord& r)
    { return r.delivered && r.object == name && r.method == method; };
}
}   // namespace

std::optional<AAX_Result> CallRecorder::Called (const HostObject& object, const char* method,
                                                const std::function<std::string()>& args, const void* data,
                                                uint32_t size)
{
    CallRecord record { object.Name(), method, args(), {}, data != nullptr, false };
    if (data != nullptr)
        record.data.assign (static_cast<const uint8_t*> (data), static_cast<const uint8_t*> (data) + size);
    const std::string call = record.method + "(" + record.args;

    std::lock_guard<std::mutex> lock (mMutex);
    std::optional<AAX_Result> forced;
    bool throws = false;
    const auto found = mSwitches.find (record.object);
    if (found != mSwitches.end())
    {
        for (const auto& [key, result] : found->second.failures)
            if (call.compare (0, key.size(), key) == 0)
                forced = result;
        for (const auto& key : found->second.throwing)
            throws = throws || call.compare (0, key.size(), key) == 0;
    }
    record.delivered = ! forced && ! throws && (data != nullptr || size == 0);
    mRecords.push_back (std::move (record));
    if (throws)
        throw std::runtime_error ("host failure in " + object.Name() + "." + method);
    return forced;
}

bool CallRecorder::Withholds (const HostObject& object, const acfIID& iid)
{
    const std::string& name = object.Name();
    std::lock_guard<std::mutex> lock (mMutex);
    for (const std::string& key : { name, name.substr (0, name.find ('#') + 1) })
    {
        const auto found = mSwitches.find (key);
        if (found != mSwitches.end() && found->second.withheld.count (iid) != 0)
            return true;
    }
    return false;
}

template <class T, class Keep, class Make>
std::vector<T> CallRecorder::Select (Keep keep, Make make) const
{
    std::lock_guard<std::mutex> lock (mMutex);
    std::vector<T> selected;
    for (const CallRecord& record : mRecords)
        if (keep (record))
            selected.push_back (make (record));
    return selected;
}

std::vector<std::string> CallRecorder::Texts (bool includeQueries) const
{
    return Select<std::string> ([&] (const CallRecord& r) { return includeQueries || r.method != "QueryInterface"; },
                                [] (const CallRecord& r) { return r.Text(); });
}

std::vector<std::string> CallRecorder::TextsOf (const std::string& object, bool includeQueries) const
{
    return Select<std::string> ([&] (const CallRecord& r)
                                { return r.object == object && (includeQueries || r.method != "QueryInterface"); },
                                [] (const CallRecord& r) { return r.method + "(" + r.args + ")"; });
}

std::vector<std::string> CallRecorder::TextsOfMethod (const std::string& method) const
{
    return Select<std::string> ([&] (const CallRecord& r) { return r.method == method; },
                                [] (const CallRecord& r) { return r.Text(); });
}

void CallRecorder::Clear()
{
    std::lock_guard<std::mutex> lock (mMutex);
    mRecords.clear();
}

std::vector<CallRecorder::Packet> CallRecorder::Posted (const HostObject& controller) const
{
    return Select<Packet> (Reached (controller, "PostPacket"),
                           [] (const CallRecord& r) {
                               return Packet { AAX_CFieldIndex (std::stol (r.args)), r.data };
                           });
}

void CallRecorder::ClearPosted()
{
    std::lock_guard<std::mutex> lock (mMutex);
    mRecords.erase (std::remove_if (mRecords.begin(), mRecords.end(),
                                    [] (const CallRecord& record) { return record.method == "PostPacket"; }),
                    mRecords.end());
}

std::vector<CallRecorder::Trace> CallRecorder::Traces() const
{
    // Both kinds start with the (trace) priority; the message is the data.
    const auto traced = [] (const CallRecord& r)
    { return r.delivered && (r.method == "Trace" || r.method == "StackTrace"); };
    return Select<Trace> (traced,
                          [] (const CallRecord& r) {
                              return Trace { int32_t (std::stol (r.args)), std::string (r.data.begin(), r.data.end()) };
                          });
}
}   // namespace aaxhost
