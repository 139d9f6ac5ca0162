#include "textstreams/TextExceptionBuilderDlg.h"

#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"

using namespace textstreams;

namespace {
const com::IID& kDefIid = host::ITextDefinition::IID_;
// The "And Value is" entries in list order.
constexpr int kOperatorStrings[] = {107, 108, 109, 110, 111, 114};
}  // namespace

CTextExceptionBuilderDlg::CTextExceptionBuilderDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text,
                                                   bool keyboard, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, setup, kHelpTopic), m_text(text), m_keyboard(keyboard),
      m_data(*this, text, IDC_STREAM, IDC_DATA), m_list(text) {}

void CTextExceptionBuilderDlg::LoadFrom(host::ITextDefinition* d) {
    ExceptionFields f;
    f.name = DefinitionName(d);
    f.match = DefinitionText(d, &host::ITextDefinition::get_Match);
    std::int16_t op = eFound, jump = 0;
    std::int32_t forward = 1, isString = 0, toLast = 0;
    double v1 = 0, v2 = 0;
    com::ThrowIfFailed(d->get_Operator(&op), kDefIid);
    com::ThrowIfFailed(d->get_IsString(&isString), kDefIid);
    com::ThrowIfFailed(d->get_Forward(&forward), kDefIid);
    com::ThrowIfFailed(d->get_JumpCount(&jump), kDefIid);
    com::ThrowIfFailed(d->get_ToLastEntry(&toLast), kDefIid);
    com::ThrowIfFailed(d->get_Value1(&v1), kDefIid);
    com::ThrowIfFailed(d->get_Value2(&v2), kDefIid);
    f.forward = forward != 0;
    f.jumpChoice = toLast && f.forward ? kToLastEntry : jump;
    if (isString) {
        f.operatorChoice = eAString;
        f.value1Text = DefinitionText(d, &host::ITextDefinition::get_StringValue);
    } else {
        f.operatorChoice = op;
        auto fields = FieldsFor(op);
        if (fields.value1) f.value1Text = FormatAmount(v1);
        if (fields.value2) f.value2Text = FormatAmount(v2);
    }
    m_fields = f;
}

bool CTextExceptionBuilderDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(169));
    auto& ops = Item(IDC_OPERATOR);
    ops.ClearItems();
    for (int i = 0; i < 6; ++i) ops.AddItem(res::LoadString(kOperatorStrings[i]), i);
    auto& dir = Item(IDC_DIRECTION);
    dir.ClearItems();
    dir.AddItem(res::LoadString(112), 1);
    dir.AddItem(res::LoadString(113), 0);
    m_list.Load();
    m_data.Init();

    SetItemText(IDC_NAME, m_fields.name);
    SetItemText(IDC_MATCH, m_fields.match);
    SetSelection(IDC_DIRECTION, m_fields.forward ? 0 : 1);
    FillJumps(m_fields.jumpChoice);
    SetSelection(IDC_OPERATOR, m_fields.operatorChoice);
    ApplyOperator();
    if (Item(IDC_VALUE1).enabled) SetItemText(IDC_VALUE1, m_fields.value1Text);
    if (Item(IDC_VALUE2).enabled) SetItemText(IDC_VALUE2, m_fields.value2Text);
    return true;
}

void CTextExceptionBuilderDlg::FillJumps(int keep) {
    const bool forward = Item(IDC_DIRECTION).selection != 1;
    auto& jumps = Item(IDC_JUMP);
    jumps.ClearItems();
    int select = 0;
    for (int v : JumpChoices(forward)) {
        int row = jumps.AddItem(v == kToLastEntry ? res::LoadString(1069) : std::to_string(v), v);
        if (v == keep) select = row;
    }
    SetSelection(IDC_JUMP, select);
}

void CTextExceptionBuilderDlg::ApplyOperator() {
    auto fields = FieldsFor(Item(IDC_OPERATOR).selection);
    EnableItem(IDC_VALUE1, fields.value1);
    EnableItem(IDC_VALUE1_LABEL, fields.value1);
    EnableItem(IDC_VALUE2, fields.value2);
    EnableItem(IDC_VALUE2_LABEL, fields.value2);
    if (!fields.value1) SetItemText(IDC_VALUE1, "");
    if (!fields.value2) SetItemText(IDC_VALUE2, "");
}

void CTextExceptionBuilderDlg::OnSelChange(int id) {
    if (id == IDC_DIRECTION) {
        auto& jumps = Item(IDC_JUMP);
        int keep = jumps.selection >= 0 ? static_cast<int>(jumps.ItemData(jumps.selection)) : 0;
        FillJumps(keep);
    } else if (id == IDC_OPERATOR) {
        ApplyOperator();
    } else if (id == IDC_STREAM) {
        m_data.StreamChanged();
    }
}

ExceptionFields CTextExceptionBuilderDlg::ReadFields() const {
    ExceptionFields f;
    f.name = GetItemText(IDC_NAME);
    f.match = GetItemText(IDC_MATCH);
    f.value1Text = GetItemText(IDC_VALUE1);
    f.value2Text = GetItemText(IDC_VALUE2);
    f.forward = Item(IDC_DIRECTION).selection != 1;
    const auto& jumps = Item(IDC_JUMP);
    f.jumpChoice = jumps.selection >= 0 ? static_cast<int>(jumps.ItemData(jumps.selection)) : 0;
    f.operatorChoice = Item(IDC_OPERATOR).selection;
    return f;
}

bool CTextExceptionBuilderDlg::Accept() {
    ExceptionFields f = ReadFields();
    bool nothing = false;
    int message = CheckExceptionFields(f, nothing);
    if (nothing) return false;
    SetItemText(IDC_NAME, TrimBlanks(f.name));
    SetItemText(IDC_MATCH, TrimBlanks(f.match));
    if (message != 0) {
        int focus = message == 134 ? IDC_NAME : message == 106 ? IDC_MATCH : message == 123 ? IDC_VALUE1 : IDC_VALUE2;
        WWMessageBox(this, res::LoadString(message), "", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        SetFocus(focus);
        return false;
    }
    auto values = ValuesFromFields(f);
    if (f.operatorChoice != eAString) {
        if (Item(IDC_VALUE1).enabled) SetItemText(IDC_VALUE1, values.shownValue1);
        if (Item(IDC_VALUE2).enabled) SetItemText(IDC_VALUE2, values.shownValue2);
    }
    m_fields = f;
    return true;
}

void CTextExceptionBuilderDlg::Fill(const ExceptionFields& f, host::ITextDefinition* d) {
    auto v = ValuesFromFields(f);
    com::ThrowIfFailed(d->Reset(), kDefIid);
    com::ThrowIfFailed(d->put_Name(mirelle::HostString(v.name).get()), kDefIid);
    com::ThrowIfFailed(d->put_Match(mirelle::HostString(v.match).get()), kDefIid);
    com::ThrowIfFailed(d->put_ToLastEntry(v.toLastEntry), kDefIid);
    com::ThrowIfFailed(d->put_JumpCount(v.jumpCount), kDefIid);
    com::ThrowIfFailed(d->put_Forward(v.forward), kDefIid);
    com::ThrowIfFailed(d->put_Operator(v.op), kDefIid);
    com::ThrowIfFailed(d->put_IsString(v.isString), kDefIid);
    if (v.isString) com::ThrowIfFailed(d->put_StringValue(mirelle::HostString(v.stringValue).get()), kDefIid);
    com::ThrowIfFailed(d->put_Value1(v.value1), kDefIid);
    com::ThrowIfFailed(d->put_Value2(v.value2), kDefIid);
}
