#include "CallRecorder.h"

#include <algorithm>
#include <stdexcept>

namespace aaxhost
{
namespace
{
// A switch's key: the method with its opening parenthesis, then any start of the arguments.
std::string CallKey(const std::string& call)
{
    return call.find('(') == std::string::npos ? call + "(" : call;
}
} // namespace

std::optional<AAX_Result> CallRecorder::Called(const HostObject& object, const char* method,
                                               const std::function<std::string()>& args, const void* data,
                                               uint32_t size)
{
    CallRecord record { object.Name(), method, args(), {}, data != nullptr, false };
    if (data != nullptr)
        record.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    const std::string call = record.method + "(" + record.args;

    std::lock_guard<std::mutex> lock(mMutex);
    std::optional<AAX_Result> forced;
    bool throws = false;
    const auto found = mSwitches.find(record.object);
    if (found != mSwitches.end())
    {
        for (const auto& [key, result] : found->second.failures)
            if (call.compare(0, key.size(), key) == 0)
                forced = result;
        for (const auto& key : found->second.throwing)
            throws = throws || call.compare(0, key.size(), key) == 0;
    }
    record.delivered = !forced && !throws && (data != nullptr || size == 0);
    mRecords.push_back(std::move(record));
    if (throws)
        throw std::runtime_error("host failure in " + object.Name() + "." + method);
    return forced;
}

bool CallRecorder::Withholds(const HostObject& object, const acfIID& iid)
{
    const std::string& name = object.Name();
    std::lock_guard<std::mutex> lock(mMutex);
    for (const std::string& key : { name, name.substr(0, name.find('#') + 1) })
    {
        const auto found = mSwitches.find(key);
        if (found != mSwitches.end() && found->second.withheld.count(iid) != 0)
            return true;
    }
    return false;
}

std::vector<CallRecord> CallRecorder::Records() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRecords;
}

std::vector<std::string> CallRecorder::Texts(bool includeQueries) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (includeQueries || record.method != "QueryInterface")
            texts.push_back(record.Text());
    return texts;
}

std::vector<std::string> CallRecorder::TextsOf(const std::string& object, bool includeQueries) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (record.object == object && (includeQueries || record.method != "QueryInterface"))
            texts.push_back(record.method + "(" + record.args + ")");
    return texts;
}

std::vector<std::string> CallRecorder::TextsOfMethod(const std::string& method) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (record.method == method)
            texts.push_back(record.Text());
    return texts;
}

void CallRecorder::Clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRecords.clear();
}

std::vector<CallRecord> CallRecorder::Delivered(const std::string& object, const std::string& method) const
{
    std::vector<CallRecord> delivered;
    for (CallRecord& record : Records())
        if (record.delivered && record.object == object && record.method == method)
            delivered.push_back(std::move(record));
    return delivered;
}

std::vector<CallRecorder::Packet> CallRecorder::Posted(const HostObject& controller) const
{
    std::vector<Packet> packets;
    for (CallRecord& record : Delivered(controller.Name(), "PostPacket"))
        packets.push_back({ AAX_CFieldIndex(std::stol(record.args)), std::move(record.data) });
    return packets;
}

void CallRecorder::ClearPosted()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRecords.erase(std::remove_if(mRecords.begin(), mRecords.end(),
                                  [](const CallRecord& record) { return record.method == "PostPacket"; }),
                   mRecords.end());
}

std::vector<CallRecord> CallRecorder::Notifications(const HostObject& controller) const
{
    return Delivered(controller.Name(), "SendNotification");
}

std::vector<CallRecorder::Trace> CallRecorder::Traces() const
{
    // Both kinds start with the (trace) priority; the message is the data.
    std::vector<Trace> traces;
    for (const CallRecord& record : Records())
        if (record.delivered && record.object == "services"
            && (record.method == "Trace" || record.method == "StackTrace"))
            traces.push_back({ int32_t(std::stol(record.args)), std::string(record.data.begin(), record.data.end()) });
    return traces;
}

void CallRecorder::Withhold(const HostObject& object, const acfIID& iid)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches[object.Name()].withheld.insert(iid);
}

void CallRecorder::Offer(const HostObject& object, const acfIID& iid)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches[object.Name()].withheld.erase(iid);
}

void CallRecorder::WithholdFromKind(const std::string& kind, const acfIID& iid)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches[kind + "#"].withheld.insert(iid);
}

void CallRecorder::FailCall(const HostObject& object, const std::string& call, AAX_Result result)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches[object.Name()].failures[CallKey(call)] = result;
}

void CallRecorder::ThrowOnCall(const HostObject& object, const std::string& call)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches[object.Name()].throwing.insert(CallKey(call));
}

void CallRecorder::ResetSwitches(const HostObject& object)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSwitches.erase(object.Name());
}
} // namespace aaxhost
