// CCategoryButton: one category of the category bar, either in the row (text wide) or in
// the drop-down (fixed size). Its colours tell idle, hot, pressed and selected apart;
// selecting it puts its name into the search edit and asks the grid for the category.
// UI thread only.
#pragma once
#include <string>

#include "uilib/UIButton.h"

class CCategoryButton : public CButtonUI {
public:
    // Row form: placed at the running x, which moves on past the button.
    CCategoryButton(const std::wstring& name, const std::string& id, int* x);
    // Drop-down form: placed at rc.
    CCategoryButton(const std::wstring& name, const std::string& id, RECT rc);

    // The control name of the bar's button at index (row first, then the drop-down).
    static CDuiString ControlName(int index);

    // Re-targets the button (a drop-down page was refilled): text, font 0, not selected.
    void SetData(const std::wstring& name, const std::string& id);
    void Select();
    void Unselect();

    const std::wstring& CategoryName() const { return name; }
    const std::string& CategoryId() const { return id; }
    bool IsFirstRow() const { return firstRow; }
    bool IsSelected() const { return selected; }

private:
    void AttachMouseHandler();
    bool OnMouseEvent(void* param);
    bool OnRowKey(const TEventUI& event);
    void ShowIdle();
    DWORD IdleBackground() const;

    std::wstring name;
    std::string id;
    bool firstRow = false;
    bool selected = false;
    bool pressed = false;
    bool hot = false;
};
