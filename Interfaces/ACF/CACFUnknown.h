#pragma once

#include <atomic>

#include "IACFUnknown.h"

/** Reference counting and interface lookup for every object the plug-in hands to the host.

    A new object has reference count 0: the host's first QueryInterface or AddRef takes the first
    reference and the last Release deletes the object. Every live object adds one to a process-wide
    count that decides whether the module may be unloaded.

    Interface classes combine a host-facing interface (primary base) with this class; their
    QueryInterface, AddRef and Release forward to GetOuterUnknown(), which routes to the private
    unknown and so to the virtual Internal* operations below.

    Counts are changed atomically, so any thread may add and drop references; the deleting Release
    runs on the thread that drops the last one.
*/
class CACFUnknown
{
public:
    CACFUnknown();
    virtual ~CACFUnknown();

    CACFUnknown(const CACFUnknown&) = delete;
    CACFUnknown& operator=(const CACFUnknown&) = delete;

    /** Number of CACFUnknown objects alive in this module. */
    static uint32_t GetActiveObjectCount();

    /** Hook for aggregation; returns 0 and changes nothing. */
    virtual ACFRESULT InitializeInstance(IACFUnknown* outer);

    /** Called once by the last Release, just before the object is deleted. Does nothing here. */
    virtual void FinalRelease();

    /** Deletes the object through its virtual destructor. */
    virtual void ReclaimMemory();

    /** Answers IID_IACFUnknown with the private unknown (adding a reference); any other id gives
        ACF_E_NOINTERFACE (0x80000004) with *out null. A null `out` gives ACF_E_INVALIDARG. */
    virtual ACFRESULT InternalQueryInterface(const acfIID& iid, void** out);

    /** Adds one reference; returns the new count. */
    virtual uint32_t InternalAddRef();

    /** Drops one reference; at 0 runs FinalRelease and ReclaimMemory. Returns the new count (0
        once the object is gone). A release at count 0 does nothing and returns 0. */
    virtual uint32_t InternalRelease();

protected:
    /** The unknown through which the interface-level trio is routed (the private unknown). */
    IACFUnknown* GetOuterUnknown() const { return m_pUnkOuter; }

    /** The object's own IACFUnknown, the answer to IID_IACFUnknown. */
    IACFUnknown* GetPrivateUnknown() { return &m_PrivateUnknown; }

    /** The current reference count (for diagnostics and tests). */
    uint32_t GetRefCount() const { return m_cRef.load(); }

private:
    /** The object's own IACFUnknown: forwards to the owner's virtual Internal* operations. */
    class PrivateUnknown : public IACFUnknown
    {
    public:
        explicit PrivateUnknown(CACFUnknown& owner)
            : mOwner(owner)
        {
        }
        ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
        uint32_t AddRef() override;
        uint32_t Release() override;

    private:
        CACFUnknown& mOwner;
    };

    std::atomic<uint32_t> m_cRef { 0 };
    IACFUnknown* m_pUnkOuter;
    PrivateUnknown m_PrivateUnknown;

    static std::atomic<uint32_t> m_ActiveObjects;
};
