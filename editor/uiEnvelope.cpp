#include "editor/uiEnvelope.h"

#include "editor/k1Editor.h"
#include "patch/parameter.h"

using namespace VSTGUI;

namespace
{
const CColor g_colTop(0x00, 0xD5, 0x41, 0xFF);
const CColor g_colBottom(0x00, 0x55, 0x24, 0xFF);
} // namespace

uiEnvelope::uiEnvelope(K1Editor& editor, const CRect& size, IControlListener* listener, long tag, CBitmap* background,
                       const CColor& colour)
    : CControl(size, listener, int32_t(tag), background), m_editor(editor), m_colour(colour)
{
}

std::array<CPoint, 5> uiEnvelope::shape(const CRect& rect, float delay, float attack, float decay, float sustain,
                                        float release)
{
    const double segment = rect.getWidth() / 5.0;
    const double bottom = rect.top + rect.getHeight() - 1.0;
    std::array<CPoint, 5> p;
    p[0] = CPoint(rect.left + delay * segment / 100.0, bottom);
    p[1] = CPoint(p[0].x + attack * segment / 100.0, rect.top);
    p[2] = CPoint(p[1].x + decay * segment / 100.0, rect.top + (1.0 - sustain / 100.0) * (rect.getHeight() - 1.0));
    p[3] = CPoint(p[2].x + segment, p[2].y);
    p[4] = CPoint(p[3].x + release * segment / 100.0, bottom);
    return p;
}

void uiEnvelope::draw(CDrawContext* context)
{
    const auto points = shape(getViewSize(), m_delay, m_attack, m_decay, m_sustain, m_release);
    SharedPointer<CGraphicsPath> path(context->createGraphicsPath(), false);
    path->beginSubpath(points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        path->addLine(points[i]);
    path->closeSubpath();
    SharedPointer<CGradient> gradient(CGradient::create(0.0, 1.0, g_colTop, g_colBottom), false);
    context->setDrawMode(kAntiAliasing);
    const CRect& r = getViewSize();
    context->fillLinearGradient(path.get(), *gradient, r.getTopLeft(), CPoint(r.left, r.bottom));
    setDirty(false);
}

float uiEnvelope::getParameter(size_t offset) const
{
    const auto p = k1lib::EParam(offset + m_editor.getActiveSource());
    if (p >= k1lib::kParamCount)
        return 0.0f;
    const k1lib::CParam& row = k1lib::g_params[p];
    return m_editor.getPlugin().getParameter(p) * row.range + row.min;
}

void uiEnvelope::updateFromParameters()
{
    bool changed = store(m_delay, getParameter(k1lib::Param_SourceS1EnvDelay));
    changed |= store(m_attack, getParameter(k1lib::Param_SourceS1EnvAttack));
    changed |= store(m_decay, getParameter(k1lib::Param_SourceS1EnvDecay));
    changed |= store(m_sustain, getParameter(k1lib::Param_SourceS1EnvSustain));
    changed |= store(m_release, getParameter(k1lib::Param_SourceS1EnvRelease));
    if (changed)
        redraw();
}

bool uiEnvelope::store(float& field, float value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

void uiEnvelope::setDelay(float value)
{
    if (store(m_delay, value))
        redraw();
}

void uiEnvelope::setAttack(float value)
{
    if (store(m_attack, value))
        redraw();
}

void uiEnvelope::setDecay(float value)
{
    if (store(m_decay, value))
        redraw();
}

void uiEnvelope::setSustain(float value)
{
    if (store(m_sustain, value))
        redraw();
}

void uiEnvelope::setRelease(float value)
{
    if (store(m_release, value))
        redraw();
}

void uiEnvelope::redraw()
{
    setDirty(false);
    invalid();
}
