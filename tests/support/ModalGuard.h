#pragma once
// Plays the user in a real modal window from inside its event loop.

#include <QWidget>
#include <functional>

// Waits (bounded) for the next application-modal window, hands it to `user`,
// and closes it if it is still open afterwards: an assertion that returns early
// inside `user` must fail the test, not leave the modal loop running until the
// test's timeout.
void whenModalUp(std::function<void(QWidget &)> user);
