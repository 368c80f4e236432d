// The offscreen platform plugin keeps its screen and cursor alive past the end of the
// application. Those few blocks are the platform's, not the views': the leak checker of the
// sanitizer build is told to pass over them. A view that leaks is still reported, by its
// own allocation.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:QScreen::QScreen\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QPlatformCursor::QPlatformCursor\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n"
           "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n"
           "leak:QObject::QObject\n"
           "leak:libqoffscreen.so\n";
}
