// The user drawing of a wave document: its node list, entering and leaving drawing mode, and
// the rendering of the nodes into the document's sound.

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/numeric/NumericHelpers.h"
#include "sound/WaveSampling.h"

#include <cmath>
#include <utility>

namespace kelvorn {

TDrawNode* TUnitWave::InsertDrawNode(std::unique_ptr<TDrawNode> node)
{
    if (!node)
        return nullptr;
    TDrawNode* before = nullptr;
    TDrawNode* at = DrawNodes;
    while (at && at->position < node->position) {
        before = at;
        at = at->next;
    }
    // Two nodes at one place would make a segment of no width; the pane's new node is dropped.
    if (at && at->position == node->position)
        return nullptr;
    TDrawNode* linked = node.release();
    linked->previous = before;
    linked->next = at;
    if (before)
        before->next = linked;
    else
        DrawNodes = linked;
    if (at)
        at->previous = linked;
    return linked;
}

TDrawNode* TUnitWave::AppendDrawNode(std::unique_ptr<TDrawNode> node)
{
    if (!node)
        return nullptr;
    TDrawNode* last = DrawNodes;
    while (last && last->next)
        last = last->next;
    TDrawNode* linked = node.release();
    linked->previous = last;
    linked->next = nullptr;
    if (last)
        last->next = linked;
    else
        DrawNodes = linked;
    return linked;
}

void TUnitWave::DeleteDrawNode(TDrawNode* node)
{
    if (!node)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else if (DrawNodes == node)
        DrawNodes = node->next;
    if (node->next)
        node->next->previous = node->previous;
    delete node;
}

void TUnitWave::DeleteDrawNodes()
{
    while (DrawNodes) {
        TDrawNode* next = DrawNodes->next;
        delete DrawNodes;
        DrawNodes = next;
    }
}

int32_t TUnitWave::GetDrawNodeCount() const
{
    KV_SOFT_ASSERT(UserDrawing);
    return DrawNodes ? DrawNodes->CountFromHere() : 0;
}

void TUnitWave::StartUserDrawing(uint8_t kind)
{
    KV_SOFT_ASSERT(!UserDrawing);
    KV_SOFT_ASSERT(!DrawNodes);
    DeleteDrawNodes();
    DrawKind = kind;
    DrawLength = 1.0;
    UserDrawing = true;
    InsertDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
    InsertDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 1.0));
    RenderUserDraw();
}

void TUnitWave::StopUserDrawing()
{
    KV_SOFT_ASSERT(UserDrawing);
    ClearUserDrawing();
}

void TUnitWave::ClearUserDrawing()
{
    DeleteDrawNodes();
    UserDrawing = false;
}

void TUnitWave::RestoreUserDrawing(uint8_t kind, double seconds)
{
    DeleteDrawNodes();
    UserDrawing = true;
    DrawKind = kind;
    DrawLength = seconds;
}

bool TUnitWave::CanDrawWaveLin() const
{
    if (UserDrawing)
        return true;
    return GetValues() == 0 && GetMonoStereo() == 1 && childWave &&
           childWave->GetWaveWindKind() == 0;
}

namespace {

/// One segment between two neighbouring nodes, with the cubic that is flat at both ends.
struct DrawSegment
{
    const TDrawNode* right = nullptr;
    double pa = 0, ya = 0, pb = 0, yb = 0;
    double a = 0, b = 0, c = 0;

    void Take(const TDrawNode* left, const TDrawNode* rightNode)
    {
        right = rightNode;
        pa = left->GetPosition();
        ya = left->GetValue();
        pb = rightNode->GetPosition();
        yb = rightNode->GetValue();
        double d = pb - pa;
        if (d <= 0) {
            a = b = c = 0;
        } else {
            a = (yb - ya) * -2.0 / (d * d * d);
            b = (yb - ya) * 3.0 / (d * d);
            c = ya;
        }
    }
};

} // namespace

bool TUnitWave::RenderUserDraw()
{
    // Rendering follows every edit in the pane: an earlier failure must not block it.
    BeginOperation();
    if (!KV_SOFT_ASSERT(DrawNodes) || !KV_SOFT_ASSERT(DrawNodes->GetNext()))
        return false;
    bool linear = DrawKind == DrawLinear;
    if (!KV_SOFT_ASSERT(DrawKind == DrawLinear || DrawKind == DrawParabola))
        return false;

    int32_t freq = GetSampleFreq();
    double countValue = std::trunc(freq * DrawLength + 1.0);
    // A length too large to count takes the road of a memory failure.
    if (!(countValue <= static_cast<double>(MaxWaveValues))) {
        CheckMemory(nullptr);
        abortFlag = 1;
        return false;
    }
    int64_t count = countValue > 0 ? static_cast<int64_t>(countValue) : 0;
    WavePtr wave = CreateWave(&abortFlag, count);
    if (!CheckMemory(wave.get()) || abortFlag)
        return false;

    DrawSegment seg;
    seg.Take(DrawNodes, DrawNodes->GetNext());
    bool pastLast = false;
    int16_t* out = wave->Data();
    for (int64_t i = 0; i < count; ++i) {
        if (i % WaveBlock == 0 && PollAbort(&abortFlag))
            return false;
        double t = LinearMap(static_cast<double>(i), 0.0, static_cast<double>(count), 0.0, 1.0);
        while (!pastLast && seg.pb < t) {
            const TDrawNode* nextNode = seg.right->GetNext();
            // Nodes that stop short of the end: the last segment goes on (reported once).
            if (!KV_SOFT_ASSERT(nextNode != nullptr)) {
                pastLast = true;
                break;
            }
            seg.Take(seg.right, nextNode);
        }
        double value;
        if (linear) {
            value = seg.pa == seg.pb ? (seg.ya + seg.yb) * 0.5
                                     : LinearMap(t, seg.pa, seg.pb, seg.ya, seg.yb);
        } else {
            double s = t - seg.pa;
            value = seg.b * s * s + seg.a * s * s * s + seg.c;
        }
        out[i] = StoreSample(value);
    }

    // The previous sound is only let go: the undo record, the clipboard or a volume writer may
    // still hold it.
    TheSound = std::make_shared<MonoSound>(std::move(wave), freq, int16_t{2});
    return true;
}

} // namespace kelvorn
