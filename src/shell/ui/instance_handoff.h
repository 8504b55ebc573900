// The single-instance hand-off: every instance listens on a local socket named per user;
// a start with options hands them to a running instance and ends.
#pragma once

#include <QString>
#include <functional>
#include <string>

// The socket name: "Kivora-<uid>", or $KIVORA_INSTANCE_NAME when set (tests).
QString InstanceSocketName();
// Sends the option text to a running instance. True when one took it.
bool HandOffToRunningInstance(const QString& name, const std::string& options, int timeout_ms = 2000);
// Listens for hand-offs (removing a stale socket); each received option text is passed to
// on_options. False when another live instance holds the name (this one retries later
// through RetryListening).
bool StartInstanceServer(const QString& name, std::function<void(const std::string&)> on_options);
// Takes over the name when the instance that held it has ended.
void RetryListening();
// Stops listening.
void StopInstanceServer();
