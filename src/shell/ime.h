// Detection and switching of the Orvane input method.
//
// An InputMethodProvider lists the input methods installed on this desktop as pairs of
// identifier and display name, and switches one on or off. DetectIme looks for the one named
// "Orvane输入法2011版" and remembers its identifier in ImeLayout; EnglishLayout is "00000409",
// which here means "no input method active". SwitchImeOn and SwitchImeOff act through the
// provider and ignore its answer, as a test must go on whether or not the switch worked.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace orvane {

class Prompts;

struct InputMethodEntry {
    QString id;
    QString name;
};

class InputMethodProvider {
public:
    virtual ~InputMethodProvider() = default;
    // A short name of the mechanism ("fcitx5", "ibus", "none").
    virtual QString kind() const = 0;
    // nullopt when the list cannot be read at all.
    virtual std::optional<QList<InputMethodEntry>> list() = 0;
    virtual bool activate(const QString &id) = 0;
    virtual bool deactivate() = 0;
    // After an input method was installed: make the framework see it and offer it to the user.
    virtual bool refresh(const QString &id)
    {
        (void)id;
        return true;
    }
    // After the installed table of id was made again: make the framework read it now, not at its
    // next start.
    virtual bool reloadTable(const QString &id)
    {
        (void)id;
        return true;
    }
};

// The provider that finds nothing: used when no input-method framework runs.
class NoInputMethodProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("none"); }
    std::optional<QList<InputMethodEntry>> list() override { return std::nullopt; }
    bool activate(const QString &) override { return false; }
    bool deactivate() override { return false; }
};

struct ImeState {
    QString ImeLayout;     // empty until found
    QString EnglishLayout; // empty until DetectIme has run on a readable list
};

inline QString orvaneImeName()
{
    return QStringLiteral("Orvane输入法2011版");
}

inline QString englishLayoutId()
{
    return QStringLiteral("00000409");
}

enum class ImeDetection { Unreadable, Found, Missing };

// Warns when the list is readable but the input method is missing; tells which it was.
ImeDetection DetectIme(ImeState &state, InputMethodProvider &provider, Prompts &prompts);
// The silent part of DetectIme: one look at the list; ImeLayout is set when found.
ImeDetection FindIme(ImeState &state, InputMethodProvider &provider);
void SwitchImeOn(const ImeState &state, InputMethodProvider &provider);
void SwitchImeOff(const ImeState &state, InputMethodProvider &provider);

} // namespace orvane
