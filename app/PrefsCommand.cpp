// dayglass prefs: the settings pane's stand-in. Reads and changes the extension's
// preference file, then posts the change notification that the extension of every
// running device on the same root listens for.
#include "Command.h"
#include "DeviceSession.h"
#include "PreferenceFile.h"
#include "PreferenceKeys.h"
#include "PropertyListJSON.h"
#include "StandardOutput.h"
#include "Wording.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSValue.h>

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

// YES and NO as the settings pane says them; every other value as its JSON.
std::string describe(const NSObject* value)
{
    if (!value)
        return "(not set)";
    if (auto* number = dynamicCast<NSNumber>(const_cast<NSObject*>(value)); number && number->isBoolean())
        return number->boolValue() ? "YES" : "NO";
    return propertyListLine(value);
}

void printLine(std::string_view key, const std::string& value, const char* note = "")
{
    printOutput("%-30.*s%s%s\n", static_cast<int>(key.size()), key.data(), value.c_str(), note);
}

class PrefsCommand final : public Command {
public:
    explicit PrefsCommand(CLI::App& subcommand)
        : prefs_(&subcommand)
    {
        prefs_->require_subcommand(0, 1);
        show_ = prefs_->add_subcommand("show", "Print the preferences stored on the device");
        show_->add_flag("--json", json_,
            "One JSON object: {\"file\", \"preferences\": {key: value or null}, \"otherKeys\": {key: value}}");
        keys_ = prefs_->add_subcommand("keys", "List every key with its kind, default and the values it takes");
        set_ = prefs_->add_subcommand("set",
            "Store one preference as the settings pane would (binary property list, other keys kept); "
            "`prefs keys` lists what each key takes");
        set_->add_option("KEY", key_, "A preference key, such as daysToDisplay")->required();
        set_->add_option("VALUE", value_, "A value the settings pane offers for the key, unless a type flag is given")
            ->required();
        auto* asInt = set_->add_flag("--int", asInteger_, "Store VALUE as any whole number, unchecked");
        auto* asBool = set_->add_flag("--bool", asBoolean_, "Store VALUE as a Boolean");
        auto* asString = set_->add_flag("--string", asString_, "Store VALUE as a string, as written");
        asInt->excludes(asBool)->excludes(asString);
        asBool->excludes(asString);
        unset_ = prefs_->add_subcommand("unset", "Remove one preference, so that its default applies");
        unset_->add_option("KEY", key_, "A preference key")->required();
        reset_ = prefs_->add_subcommand("reset", "Remove every preference of the extension (other keys stay)");
        reset_->add_flag("--all", all_, "Start the file afresh: remove every key, other programs' too");
    }

    const CLI::App* subcommand() const override { return prefs_; }

    int run(const CommonOptions& options) override
    {
        useDeviceRoot(options);
        if (show_->parsed())
            show();
        else if (keys_->parsed())
            listKeys();
        else if (set_->parsed())
            storePreference(knownPreferenceKey(key_), value_, valueType());
        else if (unset_->parsed())
            change([&, name = knownPreferenceKey(key_).name](
                       NSMutableDictionary* preferences) { preferences->removeObjectForKey(name); });
        else if (reset_->parsed())
            reset();
        else
            throw UsageError("prefs needs one of: show, keys, set KEY VALUE, unset KEY, reset");
        return 0;
    }

private:
    ValueType valueType() const
    {
        if (asInteger_)
            return ValueType::Integer;
        if (asBoolean_)
            return ValueType::Boolean;
        return asString_ ? ValueType::String : ValueType::Pane;
    }

    template <typename Change> void change(Change&& apply)
    {
        PreferencesLock lock;
        Ref<NSMutableDictionary> preferences = readIntactPreferences();
        apply(preferences.get());
        writePreferences(preferences.get());
    }

    // Says what went, so that nobody wonders what else did.
    void reset()
    {
        PreferencesLock lock;
        if (all_) {
            writePreferences(NSMutableDictionary::dictionary().get());
            printOutput("Started %s afresh: every key removed.\n", preferencesFile().c_str());
            return;
        }
        StoredPreferences stored = readPreferences();
        std::vector<std::string> removed;
        for (const PreferenceKey& key : preferenceKeys())
            if (stored.values->objectForKey(key.name)) {
                removed.emplace_back(key.name);
                stored.values->removeObjectForKey(key.name);
            }
        writePreferences(stored.values.get());
        if (stored.damaged)
            printOutput("%s was not a property-list dictionary; started it afresh.\n", preferencesFile().c_str());
        else if (removed.empty())
            printOutput("No preference of the extension was set.\n");
        else
            printOutput("Removed %s.\n", joinedWords(removed, ", ").c_str());
    }

    void show()
    {
        Ref<NSMutableDictionary> preferences = readIntactPreferences();
        if (json_)
            return showJson(preferences.get());
        for (const PreferenceKey& key : preferenceKeys())
            printLine(key.name, describe(preferences->objectForKey(key.name)));
        for (const auto& [key, value] : preferences->entries())
            if (!findPreferenceKey(key->description()))
                printLine(key->description(), describe(value.get()), "  (not read by Dayglass)");
    }

    void showJson(const NSDictionary* preferences)
    {
        nlohmann::ordered_json known = nlohmann::ordered_json::object(), other = nlohmann::ordered_json::object();
        for (const PreferenceKey& key : preferenceKeys())
            known[std::string(key.name)] = propertyListJSON(preferences->objectForKey(key.name));
        for (const auto& [key, value] : preferences->entries())
            if (!findPreferenceKey(key->description()))
                other[key->description()] = propertyListJSON(value.get());
        const nlohmann::ordered_json document
            = { { "file", preferencesFile() }, { "preferences", known }, { "otherKeys", other } };
        printOutput("%s\n", document.dump(2).c_str());
    }

    void listKeys()
    {
        printOutput("%-30s%-9s%-15s%s\n", "KEY", "KIND", "DEFAULT", "VALUES");
        for (const PreferenceKey& key : preferenceKeys())
            printOutput("%-30.*s%-9s%-15s%s\n", static_cast<int>(key.name.size()), key.name.data(),
                preferenceKindName(key.kind), key.defaultText.c_str(), allowedValues(key).c_str());
    }

    CLI::App* prefs_ = nullptr;
    CLI::App* show_ = nullptr;
    CLI::App* keys_ = nullptr;
    CLI::App* set_ = nullptr;
    CLI::App* unset_ = nullptr;
    CLI::App* reset_ = nullptr;
    std::string key_;
    std::string value_;
    bool asInteger_ = false;
    bool asBoolean_ = false;
    bool asString_ = false;
    bool json_ = false;
    bool all_ = false;
};

} // namespace

std::unique_ptr<Command> makePrefsCommand(CLI::App& subcommand)
{
    return std::make_unique<PrefsCommand>(subcommand);
}
