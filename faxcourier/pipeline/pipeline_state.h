#pragma once
// State that the pipeline threads share with the main window.

#include <atomic>

namespace korva {

struct PipelineState {
    // Set by the watcher just before it announces a document, cleared by the
    // main window when it has dealt with it. The watcher announces nothing
    // while it is set.
    std::atomic<bool> pipelineBusy{false};
    // Numbers the work and document files; incremented before each use, so
    // the first number is 1.
    std::atomic<int> printFileCounter{0};
    // Set when the program ends: a conversion stops before its next page
    // and leaves its print file whole. Null: never.
    const std::atomic<bool>* stop = nullptr;
};

}  // namespace korva
