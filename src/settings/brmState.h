#pragma once

#include "settings/ReopenList.h"
#include "settings/SingleInstance.h"

#include <optional>
#include <string>
#include <vector>

// What the program remembers between runs: name=value pairs kept in the order their
// names first entered, persisted in the current user's registry key "Software\"
// + application title, or with UseIni in the INI file beside the executable, in the
// section of the application title. Names are compared ignoring case; an empty
// value is the same as no pair.
class TbrmState : public TSingleInstance<TbrmState> {
public:
    // Only the accessor State constructs the store.
    TbrmState();

    // The value of Name, empty when absent.
    std::string Values(const std::string& name) const;
    // Sets the pair in place, or appends it; an empty Value removes it.
    void SetValues(const std::string& name, const std::string& value);
    int Count() const { return static_cast<int>(FLines.size()); }
    std::string Names(int index) const;

    bool UseIni() const { return FUseIni; }
    void SetUseIni(bool useIni) { FUseIni = useIni; }

    void Load();
    void Save();
    void LoadFromIni();
    void SaveToIni();
    void LoadFromRegistry();
    void SaveToRegistry();

    // Appends the stored "Reopen0" to "Reopen4" that are present to List.
    void LoadReopenList(TReopenList& list) const;
    // Replaces "Reopen0" to "Reopen4" by the entries of List.
    void SaveReopenList(const TReopenList& list);

private:
    std::vector<std::string>::const_iterator Find(const std::string& name) const;

    std::vector<std::string> FLines; // "name=value"
    bool FUseIni = false;
};

// The single state store, made on the first call.
TbrmState& State();

// The INI file of the store: the executable's path with its extension replaced by
// ".ini" (its name followed by ".ini" when it has none).
std::string StateIniFileName();

// Tests keep the INI file and the registry's file in Folder; none restores them.
void PointStateStoreAt(std::optional<std::string> folder);
