// The library's push button with an image (icon or bitmap) beside its text,
// an optional drop-down arrow, drawing with visual styles where they are
// active and classic drawing otherwise, and printing.
#pragma once

#include "ui/atl/ButtonDraw.h"
#include "ui/atl/PrintExt.h"
#include "ui/atl/PushButtonBase.h"

namespace kv {
namespace ui {
namespace atl {

class PushButton : public PushButtonBase, public PrintExt<PushButton, 1> {
public:
    explicit PushButton(bool dropDown = false);
    ~PushButton() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void draw(HDC dc) override;

    // Replaces the image (type IMAGE_ICON or IMAGE_BITMAP); an owned image is
    // destroyed with the button or when replaced. Returns the previous image
    // when it was not owned (the icon first), else null; another type does
    // nothing and gives null.
    HANDLE setImage(HANDLE image, UINT type, bool owned, unsigned placement);
    void setGap(int gap) { m_gap = gap; }

    bool dropDown() const { return m_dropDown; }
    HIMAGELIST imageList() const { return m_imageList; }
    int normalImage() const { return m_normalImage; }
    int disabledImage() const { return m_disabledImage; }
    SIZE imageSize() const { return m_imageSize; }

    using PushButtonBase::DefWindowProc;

protected:
    const wchar_t* windowClassName() const override { return L"kv::ui::atl::PushButton"; }

private:
    bool drawThemed(HDC dc);
    void drawClassic(HDC dc);
    // The image index to draw: the disabled image of a disabled button (made
    // on first need), else the normal one; -1 without an image list.
    int imageToDraw(bool disabled);
    void makeDisabledImage();
    void destroyImages();
    int gapFor(int averageCharWidth) const;
    SIZE textSize(HDC dc) const;

    bool m_dropDown;
    HICON m_icon;
    bool m_iconOwned;
    HBITMAP m_bitmap;
    bool m_bitmapOwned;
    HIMAGELIST m_imageList;
    bool m_imageListOwned;
    int m_normalImage;
    int m_disabledImage;
    unsigned m_placement;
    SIZE m_imageSize;
    int m_gap;
};

} // namespace atl
} // namespace ui
} // namespace kv
