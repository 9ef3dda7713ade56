#pragma once

// The stand-in host as tests see it: every call its objects receive, in order, and switches that
// make chosen objects misbehave. Hand a recorder to aaxhost::Host or aaxhost::StandInHost when
// making it; the host program never has one.

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "HostObject.h"

namespace aaxhost
{
/** One call a host object received. */
struct CallRecord
{
    std::string object;
    std::string method;
    std::string args;
    std::vector<uint8_t> data;   ///< bytes handed over: packet, notification, trace message
    bool hadData = false;        ///< false when the data pointer was null
    bool delivered = false;      ///< neither forced nor thrown by a switch, nor refused for null data

    /** "object.method(args)". */
    std::string Text() const { return object + "." + method + "(" + args + ")"; }
};

/** Records the calls into the objects of one host and holds the switches for them. Switches are
    kept by object name, so they also hold for the object's later calls. Thread-safe. */
class CallRecorder final : public CallObserver
{
public:
    std::optional<AAX_Result> Called (const HostObject& object, const char* method,
                                      const std::function<std::string()>& args, const void* data,
                                      uint32_t size) override;
    bool Withholds (const HostObject& object, const acfIID& iid) override;

    /** Texts of all records in order; QueryInterface records only when asked for. */
    std::vector<std::string> Texts (bool includeQueries = false) const;

    /** Texts of the records of one object, without the object's name: "method(args)". */
    std::vector<std::string> TextsOf (const std::string& object, bool includeQueries = false) const;

    /** Texts of the records of one method across all objects. */
    std::vector<std::string> TextsOfMethod (const std::string& method) const;

    size_t Count (const std::string& method) const { return TextsOfMethod (method).size(); }
    void Clear();

    struct Packet
    {
        AAX_CFieldIndex port;
        std::vector<uint8_t> data;
    };

    /** The packets `controller` took, in order. */
    std::vector<Packet> Posted (const HostObject& controller) const;

    /** Forgets every PostPacket record. */
    void ClearPosted();

    struct Trace
    {
        int32_t priority;
        std::string message;
    };

    /** The traces and stack traces the services took, in order. */
    std::vector<Trace> Traces() const;

    /** Queries of `object` for `iid` fail (as if the host lacked that version). */
    void Withhold (const HostObject& object, const acfIID& iid)
    {
        Change (object.Name(), [&] (Switches& s) { s.withheld.insert (iid); });
    }

    /** Withholds `iid` on every object of `kind` ("map", "component", ...), made now or later. */
    void WithholdFromKind (const std::string& kind, const acfIID& iid)
    {
        Change (kind + "#", [&] (Switches& s) { s.withheld.insert (iid); });
    }

    /** `call` ("Method", or "Method(" and the start of its arguments' text) is recorded and then
        returns `result` without doing anything. */
    void FailCall (const HostObject& object, const std::string& call, AAX_Result result)
    {
        Change (object.Name(), [&] (Switches& s) { s.failures[CallKey (call)] = result; });
    }

    /** `call` is recorded and then throws std::runtime_error (a misbehaving host). */
    void ThrowOnCall (const HostObject& object, const std::string& call)
    {
        Change (object.Name(), [&] (Switches& s) { s.throwing.insert (CallKey (call)); });
    }

    /** Clears the object's switches. */
    void ResetSwitches (const HostObject& object)
    {
        Change (object.Name(), [] (Switches& s) { s = Switches(); });
    }

private:
    struct Switches
    {
        std::set<acfIID> withheld;
        std::map<std::string, AAX_Result> failures;
        std::set<std::string> throwing;
    };

    template <class Fn>
    void Change (const std::string& key, Fn change)
    {
        std::lock_guard<std::mutex> lock (mMutex);
        change (mSwitches[key]);
    }

    /** A switch's key: the method with its opening parenthesis, then any start of the arguments. */
    static std::string CallKey (const std::string& call)
    {
        return call.find ('(') == std::string::npos ? call + "(" : call;
    }

    /** `make` of each record that `keep` accepts, in order. */
    template <class T, class Keep, class Make>
    std::vector<T> Select (Keep keep, Make make) const;

    mutable std::mutex mMutex;
    std::vector<CallRecord> mRecords;
    std::map<std::string, Switches> mSwitches;
};
}   // namespace aaxhost
