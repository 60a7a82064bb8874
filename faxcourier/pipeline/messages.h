#pragma once
// faxcourier's private messages: the pipeline threads talk to the rest of
// the program with them, and the dialogs to themselves. Always posted, never
// sent; wParam is always 0.

#include <cstdint>

namespace korva {

enum PipelineMessage : unsigned {
    kDocumentWaiting = 0x8000,     // watcher -> main window: a changed watch file waits
    kComeForward = 0x8001,         // conversion -> progress target
    kProgressRange = 0x8002,       // lParam = page count
    kProgressPosition = 0x8003,    // lParam = page just stored, from 1
    kConversionFinished = 0x8004,  // conversion done
    kRedrawDocuments = 0x8005,     // Send Fax dialog: redraw the document list
};

// A receiver of posted messages. postMessage is called from pipeline threads;
// it must queue the message for the receiver's own thread and return at once.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual void postMessage(unsigned message, std::intptr_t lParam) = 0;
};

// The progress dialog as the conversion thread sees it. show() and
// bringToFront() are called from the conversion thread too and must only
// queue the request.
class ProgressTarget : public MessageTarget {
public:
    virtual void show() = 0;
    virtual void bringToFront() = 0;
};

}  // namespace korva
