// The ten texts busprobe searches the middleware's log for, in search order.
#ifndef BUSPROBE_MARKERS_H
#define BUSPROBE_MARKERS_H

// In pairs: the name of an interface call, then the text that the test
// application logs when the call's handler or callback runs.
constexpr const char *kMarkers[10] = {
    "TolvaDBusSetProperty",
    "testTolvaDBusPropSetFunction testapp1Title",
    "TolvaDBusGetProperty",
    "testTolvaDBusPropGetFunction testapp1Title",
    "TolvaDBusSetMultiProperty",
    "testTolvaDBusPropSetMultiFunction",
    "TolvaDBusGetAllProperty",
    "testTolvaDBusPropGetAllFunction",
    "TolvaDBusSubscribeSignal",
    "callback My_TolvaDBusSignalFunction",
};

#endif
