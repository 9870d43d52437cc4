// Module-wide error state and the message facility.
#include "geom/geom_base.h"

#include <cstdio>
#include <cstdlib>

int geomLastError = -1;
char geomMessageBuffer[GEOM_MESSAGE_BUFFER_SIZE] = {0};
GeomMessageFacility* geomMessageFacility = nullptr;

static const char* const kFacilityName = "GeomMessageFacility";

void geomMessageFacilityDestroy(GeomMessageFacility*) {}

void geomMessagePrint(GeomMessageFacility*, const char* text)
{
    if (!text)
        return;
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void geomMessageFacilityInit(GeomMessageFacility* facility)
{
    if (!facility)
        return;
    facility->name = kFacilityName;
    facility->destroy = geomMessageFacilityDestroy;
    facility->message = geomMessagePrint;
}

GeomMessageFacility* geomMessageFacilityCreate()
{
    GeomMessageFacility* f =
        static_cast<GeomMessageFacility*>(std::malloc(sizeof(GeomMessageFacility)));
    if (!f)
        return nullptr;
    geomMessageFacilityInit(f);
    return f;
}

void geomMessageFacilityFree(GeomMessageFacility* facility)
{
    if (!facility)
        return;
    if (facility->destroy)
        facility->destroy(facility);
    std::free(facility);
}

void geomMessageSend(GeomMessageFacility* facility, const char* text)
{
    if (!facility || !facility->message)
        return;
    facility->message(facility, text);
}

void geomReportError(int kind, int fileNo, int line)
{
    if (kind == GEOM_ERR_ALLOC || kind == GEOM_ERR_ARGUMENT)
        geomLastError = kind;
    std::snprintf(geomMessageBuffer, sizeof geomMessageBuffer, "%d,%d,%d", kind, fileNo, line);
    geomMessageSend(geomMessageFacility, geomMessageBuffer);
}

void geomReportTolerance(int fileNo, int line, double requested, double reached)
{
    // "%lf" of a huge value runs to hundreds of digits; snprintf cuts it at
    // the buffer's end instead of writing past it.
    std::snprintf(geomMessageBuffer, sizeof geomMessageBuffer, "%d,%d,%d,%lf,%lf",
                  static_cast<int>(GEOM_ERR_TOLERANCE), fileNo, line, requested, reached);
    geomMessageSend(geomMessageFacility, geomMessageBuffer);
}
