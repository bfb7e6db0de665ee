#include "ui/common/FormHost.h"

namespace {
FormHost* g_host = nullptr;
}

FormHost* setFormHost(FormHost* host) {
    FormHost* before = g_host;
    g_host = host;
    return before;
}

FormHost* formHost() {
    return g_host;
}

QString ActiveChildName() {
    return g_host ? g_host->activeChildName() : QString();
}

void ShowHelpTopic(int topic) {
    if (g_host)
        g_host->showHelpTopic(topic);
}
