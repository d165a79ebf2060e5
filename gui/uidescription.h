#pragma once

// The UI description: an XML document ("vstgui-ui-description") with inline
// PNG bitmaps (base64), fonts, colours, control tags and view templates.
// parse() reads it from a content provider and checks the resources
// (bitmaps are decoded when first drawn); createView() builds a template's
// views (the caller owns the returned reference). Once parsed, the
// description is only read: one description may serve every window of the
// process, on any thread, and its bitmaps and fonts are shared by them. Supported view classes: CView, CViewContainer, CTextLabel,
// CTextEdit, COptionMenu, CKickButton, CAnimKnob. A document that cannot be
// read fails parse() with a log line; an unusable attribute value is logged
// and ignored; an unknown view class is logged and left out.

#include <memory>
#include <string>
#include <vector>

#include "gui/cbitmap.h"
#include "gui/ccolor.h"
#include "gui/ccontrol.h"
#include "gui/cfont.h"

namespace VSTGUI
{
class CView;

namespace Xml
{
// A source of the document's bytes, read from the start in chunks.
class IContentProvider
{
public:
    virtual ~IContentProvider() = default;
    // Copies up to size bytes into buffer; the count, 0 at the end, -1 on error.
    virtual int32_t readRawXmlData(int8_t* buffer, int32_t size) = 0;
    virtual void rewind() = 0;
};

// A provider over bytes in memory (not copied; they must outlive it).
class MemoryContentProvider : public IContentProvider
{
public:
    MemoryContentProvider(const void* data, size_t size) : data(static_cast<const int8_t*>(data)), size(size) {}
    int32_t readRawXmlData(int8_t* buffer, int32_t count) override;
    void rewind() override { pos = 0; }

private:
    const int8_t* data;
    size_t size;
    size_t pos = 0;
};
} // namespace Xml

// Gives created controls their listener (null: none).
class IController : public IControlListener
{
public:
    void valueChanged(CControl*) override {}
    virtual CView* verifyView(CView* view) { return view; }
};
class IViewFactory;

class UIDescription : public CBaseObject
{
public:
    explicit UIDescription(Xml::IContentProvider* provider, IViewFactory* viewFactory = nullptr);
    ~UIDescription() override;

    // Reads and checks the document; false (with a log line) when it cannot.
    bool parse();
    // A new view tree of the named template, or null (logged).
    CView* createView(UTF8StringPtr name, IController* controller) const;

    CBitmap* getBitmap(UTF8StringPtr name) const;
    CFontRef getFont(UTF8StringPtr name) const;
    bool getColor(UTF8StringPtr name, CColor& color) const;
    int32_t getTagForName(UTF8StringPtr name) const; // -1 when unknown
    // Drops the full-size pixels of bitmaps drawn only zoomed (they are
    // decoded again when needed); the count dropped.
    size_t releaseFullSizeBitmaps() const;
    std::vector<std::string> getTemplateNames() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl;
};
} // namespace VSTGUI
