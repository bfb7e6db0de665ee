#pragma once

#include "ui/common/TDialog.h"

class DiaryEditor;
class QLabel;
class QPlainTextEdit;
class QTabWidget;

// First words: the child's first word, the word log and the list of every word with the count.
class TWords : public TDialog {
    Q_OBJECT
public:
    explicit TWords(QWidget* parent = nullptr);
    DiaryEditor* editor() {
        ensureBuilt();
        return m_editor;
    }
    QTabWidget* pages() {
        ensureBuilt();
        return m_pages;
    }

protected:
    void build() override;
    void FormActivate() override;

private:
    // The first word, the word list and the count, from the word log.
    void refreshWords();

    QTabWidget* m_pages;
    DiaryEditor* m_editor;
    QLabel* m_mainTitle;
    QLabel* m_firstWord;
    QPlainTextEdit* m_wordList;
    QLabel* m_wordCount;
};

// The one TWords, created at start-up (null before and after).
extern TWords* Words;
