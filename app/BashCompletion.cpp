#include "BashCompletion.h"

#include "PreferenceKeys.h"
#include "StandardOutput.h"
#include "Wording.h"

#include <host/DeviceModel.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

// The values an option or argument takes, when they are a known set: the
// models for a MODEL, the keys for a KEY, and the members a check lists as
// {a,b,c}. Empty for anything else, which is a file name.
std::vector<std::string> valuesOf(const CLI::Option& option)
{
    std::vector<std::string> values;
    const std::string type = option.get_type_name();
    if (type.find("MODEL") != std::string::npos) {
        for (const host::DeviceModel& model : host::deviceModels())
            values.emplace_back(model.name);
    } else if (option.get_positional() && option.get_name() == "KEY") {
        for (const PreferenceKey& key : preferenceKeys())
            values.emplace_back(key.name);
    } else if (const std::size_t open = type.find('{'), close = type.find('}', open);
               open != std::string::npos && close != std::string::npos) {
        std::stringstream members(type.substr(open + 1, close - open - 1));
        for (std::string member; std::getline(members, member, ',');)
            values.push_back(member);
    }
    return values;
}

// What the script knows, gathered from the tree once.
struct Tables {
    std::map<std::string, std::string> subcommands; // path → its subcommands
    std::map<std::string, std::string> options; // path → its options
    std::map<std::string, std::string> arguments; // "path N" → values of its Nth argument
    std::map<std::string, std::string> values; // option → its values
    std::set<std::string> takingValues; // options followed by a value

    void gather(const CLI::App& app, const std::string& path)
    {
        std::vector<std::string> names, flags;
        for (const CLI::App* subcommand : app.get_subcommands({})) {
            names.push_back(subcommand->get_name());
            gather(*subcommand, path.empty() ? subcommand->get_name() : path + " " + subcommand->get_name());
        }
        subcommands[path] = joinedWords(names, " ");
        int position = 0;
        for (const CLI::Option* option : app.get_options()) {
            const std::vector<std::string> known = valuesOf(*option);
            if (!option->nonpositional()) {
                arguments[path + " " + std::to_string(position++)] = joinedWords(known, " ");
                continue;
            }
            std::vector<std::string> spellings;
            for (const std::string& name : option->get_snames())
                spellings.push_back("-" + name);
            for (const std::string& name : option->get_lnames())
                spellings.push_back("--" + name);
            for (const std::string& spelling : spellings) {
                flags.push_back(spelling);
                if (option->get_expected_max() > 0) {
                    takingValues.insert(spelling);
                    if (!known.empty())
                        values[spelling] = joinedWords(known, " ");
                }
            }
        }
        options[path] = joinedWords(flags, " ");
    }
};

// `case "$1" in KEY) words="VALUE";; … esac` as the body of a function.
std::string cases(const char* function, const std::map<std::string, std::string>& table)
{
    std::string text = std::string(function) + "() {\n    words=\n    case \"$1\" in\n";
    for (const auto& [key, words] : table)
        if (!words.empty())
            text += "    \"" + key + "\") words=\"" + words + "\" ;;\n";
    return text + "    esac\n}\n\n";
}

} // namespace

std::string bashCompletion(const CLI::App& app)
{
    Tables tables;
    tables.gather(app, "");
    return "# bash completion for " + app.get_name() + ", made by `" + app.get_name()
        + " completion` from the command's own options.\n\n" + cases("_dayglass_subcommands", tables.subcommands)
        + cases("_dayglass_options", tables.options) + cases("_dayglass_arguments", tables.arguments)
        + cases("_dayglass_values", tables.values) + "_dayglass_taking_values=\" "
        + joinedWords({ tables.takingValues.begin(), tables.takingValues.end() }, " ") + R"( "

# Words as the subcommand typed so far takes them; file names where none are known.
_dayglass() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local path="" argument=0 word words i
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $_dayglass_taking_values == *" $word "* ]]; then
            ((i++))
            continue
        fi
        [[ $word == -* ]] && continue
        _dayglass_subcommands "$path"
        if [[ " $words " == *" $word "* ]]; then
            path=${path:+$path }$word
            argument=0
        else
            ((argument++))
        fi
    done
    if [[ $_dayglass_taking_values == *" $prev "* ]]; then
        _dayglass_values "$prev"
    elif [[ $cur == -* ]]; then
        _dayglass_options "$path"
    else
        _dayglass_subcommands "$path"
        [[ -z $words ]] && _dayglass_arguments "$path $argument"
    fi
    if [[ -n $words ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}
complete -o filenames -F _dayglass )"
        + app.get_name() + "\n";
}

namespace {

// dayglass completion: prints the script, for the build to install and for a
// user without the installed one to source.
class CompletionCommand final : public Command {
public:
    explicit CompletionCommand(CLI::App& subcommand)
        : completion_(&subcommand)
    {
    }

    const CLI::App* subcommand() const override { return completion_; }

    int run(const CommonOptions&) override
    {
        writeOutput(bashCompletion(*completion_->get_parent()));
        return 0;
    }

private:
    CLI::App* completion_;
};

} // namespace

std::unique_ptr<Command> makeCompletionCommand(CLI::App& subcommand)
{
    return std::make_unique<CompletionCommand>(subcommand);
}
