// A view that records what FormMain asks of it, for tests of the window's logic.
#pragma once

#include "app/FormMain.h"
#include "app/FormView.h"

#include <functional>
#include <vector>

class FakeFormView : public FormView {
public:
    struct Record {
        std::vector<Text> statusTexts;
        std::vector<Text> messages;
        std::vector<int> checkValues;
        std::vector<bool> pointers;
        int repaints = 0;
        int hides = 0;
        int unloads = 0;
        int taskbarCalls = 0;
        // Called on every repaint: what arrives for the window while a section runs.
        std::function<void()> onRepaint;
    };

    explicit FakeFormView(Record& p_Record, std::function<void(FormMain&)> p_WhileShown = nullptr)
        : m_Record(p_Record), m_WhileShown(std::move(p_WhileShown)) {}

    void ShowModal(FormMain& p_Form) override {
        if (m_WhileShown) {
            m_WhileShown(p_Form);
        }
    }
    void Hide() override { ++m_Record.hides; }
    void Unload() override { ++m_Record.unloads; }
    void SetStatusText(const Text& p_Text) override { m_Record.statusTexts.push_back(p_Text); }
    void Repaint() override {
        ++m_Record.repaints;
        if (m_Record.onRepaint) {
            m_Record.onRepaint();
        }
    }
    void SetRuntimeLoggingCheck(int p_Value) override { m_Record.checkValues.push_back(p_Value); }
    void SetBusyPointer(bool p_Busy) override { m_Record.pointers.push_back(p_Busy); }
    void ShowMessage(const Text& p_Message) override { m_Record.messages.push_back(p_Message); }
    void ShowInTaskbar() override { ++m_Record.taskbarCalls; }

private:
    Record& m_Record;
    std::function<void(FormMain&)> m_WhileShown;
};
