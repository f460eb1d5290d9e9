// dayglass prefs: the settings pane's stand-in. Reads and changes the extension's
// preference file, then posts the change notification that the extension of every
// running device on the same root listens for.
#include "Command.h"
#include "DeviceSession.h"
#include "PreferenceFile.h"
#include "PreferenceKeys.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSValue.h>

#include <cstdio>

namespace {

const PreferenceKey& knownKey(const std::string& name)
{
    const PreferenceKey* key = findPreferenceKey(name);
    if (!key)
        throw CommandError("unknown preference \"" + name + "\"; the known ones are " + knownPreferenceKeys());
    return *key;
}

std::string describe(const NSObject* value)
{
    if (!value)
        return "(not set)";
    if (auto* number = dynamicCast<NSNumber>(const_cast<NSObject*>(value)); number && number->isBoolean())
        return number->boolValue() ? "YES" : "NO";
    if (dynamicCast<NSString>(const_cast<NSObject*>(value)))
        return "\"" + value->description() + "\"";
    if (dynamicCast<NSNumber>(const_cast<NSObject*>(value)))
        return value->description();
    return std::string(class_getName(object_getClass(value))) + " " + value->description();
}

void printLine(std::string_view key, const std::string& value, const char* note = "")
{
    std::printf("%-30.*s%s%s\n", static_cast<int>(key.size()), key.data(), value.c_str(), note);
}

class PrefsCommand final : public Command {
public:
    explicit PrefsCommand(CLI::App& app)
    {
        prefs_ = app.add_subcommand("prefs", "Show or change the extension's preferences, as the settings pane does");
        prefs_->require_subcommand(0, 1);
        show_ = prefs_->add_subcommand("show", "Print the preferences stored on the device");
        set_ = prefs_->add_subcommand("set", "Store one preference (binary property list, other keys kept)");
        set_->add_option("KEY", key_, "A preference key, such as daysToDisplay")->required();
        set_->add_option("VALUE", value_, "Typed as the key takes it, unless a type flag says otherwise")->required();
        auto* asInt = set_->add_flag("--int", asInteger_, "Store VALUE as an integer");
        auto* asBool = set_->add_flag("--bool", asBoolean_, "Store VALUE as a Boolean");
        auto* asString = set_->add_flag("--string", asString_, "Store VALUE as a string, as written");
        asInt->excludes(asBool)->excludes(asString);
        asBool->excludes(asString);
        unset_ = prefs_->add_subcommand("unset", "Remove one preference, so that its default applies");
        unset_->add_option("KEY", key_, "A preference key")->required();
        reset_ = prefs_->add_subcommand("reset", "Remove every preference of the extension (other keys stay)");
    }

    const CLI::App* subcommand() const override { return prefs_; }

    int run(const CommonOptions& options) override
    {
        useDeviceRoot(options);
        if (show_->parsed())
            show();
        else if (set_->parsed())
            storePreference(knownKey(key_), value_, valueType());
        else if (unset_->parsed())
            change([&](NSMutableDictionary* preferences) { preferences->removeObjectForKey(knownKey(key_).name); });
        else if (reset_->parsed())
            reset();
        else
            throw CommandError("prefs needs one of: show, set KEY VALUE, unset KEY, reset");
        return 0;
    }

private:
    ValueType valueType() const
    {
        if (asInteger_)
            return ValueType::Integer;
        if (asBoolean_)
            return ValueType::Boolean;
        return asString_ ? ValueType::String : ValueType::Inferred;
    }

    template <typename Change> void change(Change&& apply)
    {
        Ref<NSMutableDictionary> preferences = readPreferences(false);
        apply(preferences.get());
        writePreferences(preferences.get());
    }

    void reset()
    {
        Ref<NSMutableDictionary> preferences = readPreferences(true);
        for (const PreferenceKey& key : preferenceKeys())
            preferences->removeObjectForKey(key.name);
        writePreferences(preferences.get());
    }

    void show()
    {
        Ref<NSMutableDictionary> preferences = readPreferences(false);
        for (const PreferenceKey& key : preferenceKeys())
            printLine(key.name, describe(preferences->objectForKey(key.name)));
        for (const auto& [key, value] : preferences->entries())
            if (!findPreferenceKey(key->description()))
                printLine(key->description(), describe(value.get()), "  (not read by Dayglass)");
    }

    CLI::App* prefs_ = nullptr;
    CLI::App* show_ = nullptr;
    CLI::App* set_ = nullptr;
    CLI::App* unset_ = nullptr;
    CLI::App* reset_ = nullptr;
    std::string key_;
    std::string value_;
    bool asInteger_ = false;
    bool asBoolean_ = false;
    bool asString_ = false;
};

} // namespace

std::unique_ptr<Command> makePrefsCommand(CLI::App& app)
{
    return std::make_unique<PrefsCommand>(app);
}
