#pragma once

#include <map>
#include <string>
#include <vector>

#include "AAX.h"

class AAX_IAutomationDelegate;
class AAX_IParameter;

/** Owns the host parameters of one plug-in instance and finds them by index (the order added) and
    by id. Takes no lock: its owner serialises access. */
class AAX_CParameterManager
{
public:
    AAX_CParameterManager();
    ~AAX_CParameterManager();

    AAX_CParameterManager(const AAX_CParameterManager&) = delete;
    AAX_CParameterManager& operator=(const AAX_CParameterManager&) = delete;

    /** Stores the delegate that parameters added from now on are given; parameters already added
        keep theirs. */
    void Initialize(AAX_IAutomationDelegate* automationDelegate);

    int32_t NumParameters() const;

    /** Takes ownership of `parameter`, hands it the automation delegate and appends it. A null
        pointer is ignored; a parameter whose id is already taken is refused, traced and
        deleted. */
    void AddParameter(AAX_IParameter* parameter);

    /** Deletes every parameter in the order added (each unregisters from its delegate). */
    void RemoveAllParameters();

    /** The parameter at `index`, or null when out of range. */
    AAX_IParameter* GetParameter(int32_t index);
    const AAX_IParameter* GetParameter(int32_t index) const;

    /** The parameter with exactly this id, or null (also for a null id). */
    AAX_IParameter* GetParameterByID(AAX_CParamID identifier);
    const AAX_IParameter* GetParameterByID(AAX_CParamID identifier) const;

    /** Index of the parameter with this id, or -1. */
    int32_t GetParameterIndex(AAX_CParamID identifier) const;

private:
    AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
    std::vector<AAX_IParameter*> mParameters;
    std::map<std::string, AAX_IParameter*> mParametersMap;
};
