#include "CallLog.h"

namespace aaxhost
{
std::string CallRecord::Text() const
{
    return object + "." + method + "(" + args + ")";
}

void CallLog::Add(CallRecord record)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRecords.push_back(std::move(record));
}

std::vector<CallRecord> CallLog::Records() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRecords;
}

std::vector<std::string> CallLog::Texts(bool includeQueries) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (includeQueries || record.method != "QueryInterface")
            texts.push_back(record.Text());
    return texts;
}

std::vector<std::string> CallLog::TextsOf(const std::string& object, bool includeQueries) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (record.object == object && (includeQueries || record.method != "QueryInterface"))
            texts.push_back(record.method + "(" + record.args + ")");
    return texts;
}

std::vector<std::string> CallLog::TextsOfMethod(const std::string& method) const
{
    std::vector<std::string> texts;
    for (const CallRecord& record : Records())
        if (record.method == method)
            texts.push_back(record.Text());
    return texts;
}

size_t CallLog::Count(const std::string& method) const
{
    return TextsOfMethod(method).size();
}

void CallLog::Clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRecords.clear();
}

std::string CallLog::NextName(const std::string& kind)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return kind + "#" + std::to_string(++mCounters[kind]);
}
} // namespace aaxhost
