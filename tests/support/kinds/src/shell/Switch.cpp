// A shell file that decides by the document kind, three ways, and looks one up once.
void Decide(Window* window)
{
    switch (window->GetKind()) {
    case DocumentKind::Music:
        break;
    }
    if (window->GetKind() == DocumentKind::Wave)
        return;
    Show(WindowOfKind(window, DocumentKind::Factory));
}
