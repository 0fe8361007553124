#pragma once

#include <QString>

#include "app/dialog_model.h"

namespace zelvan {

// Kinds of the message boxes the program shows. Plain boxes carry the application
// title; the typed ones are titled by their kind.
enum class MessageKind { Plain, Warning, Error, Information, Confirmation };

// Everything core logic says to or asks of the user goes through this interface.
// The windows give it real message boxes; tests give it a scripted one that records
// every text and answers as told.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A modal message box with the single button OK.
    virtual void message(MessageKind kind, const QString& text) = 0;

    // A modal error box whose only button is Yes.
    virtual void errorWithYesButton(const QString& text) = 0;

    // A modal question with the buttons Yes and No; true on Yes. An empty caption
    // gives the platform's caption for the kind.
    virtual bool question(MessageKind kind, const QString& text, const QString& caption = {}) = 0;

    // The program's own styled dialog; returns its modal result.
    virtual int styledMessage(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                              const TMsgDlgStyle& style) = 0;
};

// Opens a document with the desktop's default application.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openDocument(const QString& path) = 0;
};

}  // namespace zelvan
