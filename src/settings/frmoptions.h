// The options dialog "选项设置": the six colours, the switches and the time limit.
//
// The colour buttons hold the working colours while the dialog is open; the settings record and
// the store change on cmdOK (the colour reset writes the record at once). Confirming redraws the
// test window's text only when something its drawing uses has changed: the two word colours, the
// symbol colour, the letter-and-digit colour, segmentation or the short-code hints.
#pragma once

#include "context/appcontext.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvane {

// The window whose text the options may redraw (the test window).
class OptionsTarget {
public:
    virtual ~OptionsTarget() = default;
    // The text view is visible.
    virtual bool textShown() const = 0;
    virtual void setSaveResultEnabled(bool on) = 0;
    // Renders the view's text again with the current settings.
    virtual void redrawText() = 0;
};

class frmOptions final : public QDialog {
    Q_OBJECT
public:
    frmOptions(AppContext &ctx, OptionsTarget *target, QWidget *parent = nullptr);

    QGroupBox *Frame1;
    QLabel *Label1;
    QPushButton *cmdSetColor1;
    QLabel *Label2;
    QPushButton *cmdSetColor2;
    QLabel *Label3;
    QPushButton *cmdSetRightColor;
    QLabel *Label4;
    QPushButton *cmdSetErrorColor;
    QLabel *lblsymcolor;
    QPushButton *cmdSetSymColor;
    QLabel *lblalphacolor;
    QPushButton *cmdSetAlphaColor;
    QPushButton *cmdResetColor;

    QGroupBox *Frame2;
    QCheckBox *ckNeedFc;
    QCheckBox *ckAutoOpenIme;
    QCheckBox *ckJmTips;
    QRadioButton *opNoLimitTime;
    QRadioButton *opLimitTime;
    QLineEdit *txtLimitTime;
    QLabel *Label6;
    QPushButton *cmdDefineFilter;
    // Opens the custom-word window (AppContext::showCustomWords); hidden without it.
    QPushButton *cmdCustomWords;

    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // Form state.
    bool RenderColorsChanged = false;
    bool OldNeedSegmentation = false;
    bool OldNeedShortCodeTips = false;

    // The working colour a colour button shows (0x00BBGGRR).
    quint32 buttonColor(const QPushButton *button) const;

    void cmdSetColor1_Click();
    void cmdSetColor2_Click();
    void cmdSetRightColor_Click();
    void cmdSetErrorColor_Click();
    void cmdSetSymColor_Click();
    void cmdSetAlphaColor_Click();
    void cmdResetColor_Click();
    void opLimitTime_Click();
    void opNoLimitTime_Click();
    void cmdDefineFilter_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    // The six colour buttons in the order in which the dialog stores them.
    enum ColorSlot { SlotAlt1, SlotAlt2, SlotRight, SlotError, SlotSymbol, SlotAlpha, SlotCount };

    void Form_Load();
    QGroupBox *buildColorFrame();
    QGroupBox *buildOptionFrame();
    void chooseColor(ColorSlot slot);
    void setButtonColor(ColorSlot slot, quint32 color);
    static bool drawsText(ColorSlot slot);
    void storeColor(ColorSlot slot);
    void storeSwitch(SettingKey key, bool UserSettings::*field, bool on);

    AppContext &m_ctx;
    OptionsTarget *m_target;
    std::array<QPushButton *, SlotCount> m_colorButtons{};
    std::array<quint32, SlotCount> m_colors{};
};

} // namespace orvane
