#!/usr/bin/env python3
"""Writes the theme's SVG pictures (resources/theme/svg). The SVG files are the sources the
build renders; this script is how they were drawn, so that the set can be changed as a whole
(colours, sizes, shared icon shapes) and stays coherent. Run it from anywhere:
    python3 resources/theme/draw_pictures.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "svg")
FONT = "DejaVu Sans, Noto Sans, Liberation Sans, sans-serif"

# Palette: deep navy for headers, one calm blue accent, soft greys for surfaces.
NAVY = "#0F1D31"
NAVY2 = "#15294A"
ACCENT = "#2F6DB5"
ACCENT_HOT = "#3B7FD0"
ACCENT_DOWN = "#245A96"
ACCENT_LIGHT = "#8DB7EC"
INK = "#1E3556"
MUTED = "#5A6B82"
LINE = "#D5DEEA"
SURFACE = "#F3F6FA"
TEAL = "#2A8C7E"
VIOLET = "#5B63B5"
RED = "#C8504B"
AMBER = "#D9962F"


def svg(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            + (f"<defs>{defs}</defs>\n" if defs else "") + body + "\n</svg>\n")


def write(rel, text):
    path = os.path.join(OUT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def text(x, y, s, size, fill, weight="normal", anchor="start", spacing=0):
    ls = f' letter-spacing="{spacing}"' if spacing else ""
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'fill="{fill}" text-anchor="{anchor}"{ls}>{s}</text>')


# ---- Line icons on a 24-unit grid, stroke drawn; placed with icon(name, x, y, size, colour) ----
ICONS = {
    "lock": '<rect x="5" y="10.5" width="14" height="10" rx="2"/><path d="M8 10.5V7.5a4 4 0 0 1 8 0v3"/>'
            '<path d="M12 14.5v2.5"/>',
    "unlock": '<rect x="5" y="10.5" width="14" height="10" rx="2"/><path d="M8 10.5V7.5a4 4 0 0 1 7.6-1.8"/>'
              '<path d="M12 14.5v2.5"/>',
    "file": '<path d="M6.5 3h7l4 4v14h-11z"/><path d="M13.5 3v4h4"/>',
    "filelock": '<path d="M11 21H5.5V3h7l4 4v3.5"/><path d="M12.5 3v4h4"/><rect x="12.5" y="15" width="8" height="6" rx="1.2"/>'
                '<path d="M14.5 15v-1.5a2 2 0 0 1 4 0V15"/>',
    "folder": '<path d="M3 7.5V19h18V9H11.5l-2-2.5H3z"/>',
    "link": '<path d="M10 14l9-9"/><path d="M13.5 5H19v5.5"/><path d="M17 14v5H5V7h5"/>',
    "eyeoff": '<path d="M3 12s3.5-6 9-6c1.6 0 3 .5 4.2 1.2M21 12s-3.5 6-9 6c-1.6 0-3-.5-4.2-1.2"/>'
              '<path d="M9.8 14.2a3 3 0 0 1 4.4-4.4"/><path d="M4 20L20 4"/>',
    "eye": '<path d="M2.5 12s3.5-6.5 9.5-6.5S21.5 12 21.5 12 18 18.5 12 18.5 2.5 12 2.5 12z"/><circle cx="12" cy="12" r="3"/>',
    "wipe": '<path d="M5 7h14"/><path d="M9.5 7V4.5h5V7"/><path d="M6.5 7l1 13h9l1-13"/><path d="M10 10.5v6M14 10.5v6"/>',
    "help": '<circle cx="12" cy="12" r="9"/><path d="M9.5 9.5a2.5 2.5 0 1 1 3.5 2.3c-.7.3-1 .8-1 1.5v.7"/>'
            '<circle cx="12" cy="17" r=".6" fill="currentColor"/>',
    "gear": None,  # made by cog_path() below
    "bulb": '<path d="M9 17.5h6M10 20.5h4"/><path d="M8.5 14.5A6 6 0 1 1 15.5 14.5c-.6.6-1 1.5-1 2.5V17.5h-5V17'
            'c0-1-.4-1.9-1-2.5z"/>',
    "chat": '<path d="M4 5h12v8H9l-3.5 3V13H4z"/><path d="M16 9h4v8h-1.5v3L15 17h-4v-2"/>',
    "sparkle": '<path d="M12 3l1.8 5.2L19 10l-5.2 1.8L12 17l-1.8-5.2L5 10l5.2-1.8z"/><path d="M18.5 15.5l.8 2.2 2.2.8-2.2.8'
               '-.8 2.2-.8-2.2-2.2-.8 2.2-.8z"/>',
    "shield": '<path d="M12 2.8l7.5 3v5.7c0 4.6-3.1 8.1-7.5 9.7-4.4-1.6-7.5-5.1-7.5-9.7V5.8z"/>',
    "key": '<circle cx="8" cy="15" r="4.5"/><path d="M11.3 11.8L20 3"/><path d="M17 6l2.5 2.5M14.5 8.5l2 2"/>',
    "home": '<path d="M3.5 11.5L12 4l8.5 7.5"/><path d="M6 10v10h12V10"/><path d="M10 20v-5.5h4V20"/>',
    "arrowr": '<path d="M5 12h13"/><path d="M13 6.5l5.5 5.5-5.5 5.5"/>',
    "arrowl": '<path d="M19 12H6"/><path d="M11 6.5L5.5 12l5.5 5.5"/>',
    "play": '<path d="M8 5.5v13l10-6.5z"/>',
    "check": '<path d="M5 12.5l4.5 4.5L19 7.5"/>',
    "clock": '<circle cx="12" cy="12" r="8.5"/><path d="M12 7v5.5l3.5 2"/>',
    "refresh": '<path d="M19.5 12a7.5 7.5 0 0 1-13.3 4.8"/><path d="M4.5 12A7.5 7.5 0 0 1 17.8 7.2"/>'
               '<path d="M18.5 3.5v4h-4M5.5 20.5v-4h4"/>',
    "plus": '<path d="M12 6v12M6 12h12"/>',
    "globe": '<circle cx="12" cy="12" r="8.5"/><path d="M3.5 12h17"/><path d="M12 3.5c2.5 2.5 3.5 5.5 3.5 8.5s-1 6-3.5 '
             '8.5c-2.5-2.5-3.5-5.5-3.5-8.5s1-6 3.5-8.5z"/>',
}


def cog_path(teeth=8, r_out=9.2, r_in=7.0, cx=12.0, cy=12.0):
    """A cog wheel outline: flat-topped teeth between arcs of the inner radius."""
    import math
    pts = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = i * step
        for da, r in ((-0.30, r_in), (-0.17, r_out), (0.17, r_out), (0.30, r_in)):
            pts.append((cx + r * math.cos(a + da * step * 1.6), cy + r * math.sin(a + da * step * 1.6)))
    d = "M" + " L".join(f"{x:.2f} {y:.2f}" for x, y in pts) + "Z"
    return f'<path d="{d}"/><circle cx="{cx}" cy="{cy}" r="3"/>'


ICONS["gear"] = cog_path()


def icon(name, x, y, size, colour, width=1.6, fill="none"):
    s = size / 24.0
    sw = width / s
    return (f'<g transform="translate({x} {y}) scale({s})" fill="{fill}" stroke="{colour}" color="{colour}" '
            f'stroke-width="{sw:.3f}" stroke-linecap="round" stroke-linejoin="round">{ICONS[name]}</g>')


# ---- The application mark: a shield with a keyhole on a blue tile ----
def mark(x, y, size, tile=True):
    s = size / 256.0
    parts = []
    if tile:
        parts.append('<rect x="8" y="8" width="240" height="240" rx="56" fill="url(#hvTile)"/>'
                     '<rect x="8" y="8" width="240" height="240" rx="56" fill="none" stroke="#FFFFFF" '
                     'stroke-opacity="0.12" stroke-width="4"/>')
    parts.append('<path d="M128 44l68 26v50c0 44-28 76-68 92-40-16-68-48-68-92V70z" fill="#FFFFFF" fill-opacity="0.96"/>'
                 '<path d="M128 44l68 26v50c0 44-28 76-68 92z" fill="#DCE8F7"/>'
                 '<circle cx="128" cy="112" r="18" fill="#1F4F8C"/>'
                 '<path d="M120 124h16l6 40h-28z" fill="#1F4F8C"/>')
    return f'<g transform="translate({x} {y}) scale({s})">{"".join(parts)}</g>'


MARK_DEFS = ('<linearGradient id="hvTile" x1="0" y1="0" x2="1" y2="1">'
             '<stop offset="0" stop-color="#3C82D2"/><stop offset="1" stop-color="#1B4379"/></linearGradient>')


def app_icon():
    write("app/halvonorvane.svg", svg(256, 256, mark(0, 0, 256), MARK_DEFS))


# ---- Welcome page: header on black, footer band, home-page button ----
def main_header():
    defs = MARK_DEFS + ('<linearGradient id="hdr" x1="0" y1="0" x2="1" y2="0">'
                        f'<stop offset="0" stop-color="{NAVY2}"/><stop offset="0.55" stop-color="#0A1424"/>'
                        '<stop offset="1" stop-color="#000000"/></linearGradient>')
    body = ('<rect width="520" height="88" fill="url(#hdr)"/>'
            + mark(24, 16, 56)
            + text(96, 47, "Halvo Norvane", 27, "#FFFFFF", spacing=0.3)
            + text(97, 68, "Encrypt \u00b7 Wipe \u00b7 Hide \u00b7 Decrypt", 12.5, ACCENT_LIGHT, spacing=0.6))
    write("MainHeader.svg", svg(520, 88, body, defs))
    arcs = "".join(f'<circle cx="250" cy="110" r="{r}" fill="none" stroke="#2F6DB5" stroke-opacity="{o}" '
                   f'stroke-width="1.2"/>' for r, o in ((40, 0.55), (64, 0.42), (88, 0.3), (112, 0.2), (136, 0.12)))
    defs_r = ('<linearGradient id="fade" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#000000"/>'
              '<stop offset="1" stop-color="#0B1628"/></linearGradient>'
              '<linearGradient id="mask" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#000"/>'
              '<stop offset="0.35" stop-color="#000" stop-opacity="0"/></linearGradient>')
    body_r = ('<rect width="240" height="88" fill="url(#fade)"/>' + arcs
              + '<rect width="240" height="88" fill="url(#mask)"/>')
    write("MainHeaderR.svg", svg(240, 88, body_r, defs_r))


# The footer set (footer bands, Help and the navigation buttons) also exists in a dark variant
# under svg/dark/, loaded when the desktop's palette is dark; the other pictures sit on their own
# dark or tinted grounds and serve both.
LIGHT_FOOT = {"top": "#F6F8FB", "bottom": "#ECF0F5", "line": LINE, "note": "#8A9AB0", "note_text": "#7A8AA0",
              "pill": ("#FFFFFF", "#F1F5FA"), "ink": INK, "muted": MUTED, "glyph": ACCENT,
              "fill": {"normal": "#FFFFFF", "hot": "#EEF4FB", "pressed": "#DCE7F4", "disabled": "#F7F8FA"},
              "stroke": {"normal": "#B9C7D9", "hot": ACCENT, "pressed": ACCENT_DOWN, "disabled": "#DFE4EA"},
              "text": {"normal": INK, "hot": "#1B5AA6", "pressed": "#1B4B85", "disabled": "#A9B4C2"},
              "primary_disabled": ("#C6D1DF", "#F5F7FA")}
DARK_FOOT = {"top": "#262A31", "bottom": "#1E2127", "line": "#3A414D", "note": "#7F8A99", "note_text": "#A3AEBC",
             "pill": ("#2E333C", "#272B32"), "ink": "#E4EAF2", "muted": "#A3AEBC", "glyph": ACCENT_LIGHT,
             "fill": {"normal": "#2C3139", "hot": "#33404F", "pressed": "#22303F", "disabled": "#25282E"},
             "stroke": {"normal": "#5A6576", "hot": ACCENT_LIGHT, "pressed": ACCENT_HOT, "disabled": "#343943"},
             "text": {"normal": "#E4EAF2", "hot": "#FFFFFF", "pressed": "#D6E6FA", "disabled": "#6E7785"},
             "primary_disabled": ("#2F3946", "#8793A3")}
FOOT_SETS = (("", LIGHT_FOOT), ("dark/", DARK_FOOT))


def footer(name, w, h, left="", pal=LIGHT_FOOT):
    defs = ('<linearGradient id="ft" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{pal["top"]}"/><stop offset="1" stop-color="{pal["bottom"]}"/>'
            '</linearGradient>')
    body = (f'<rect width="{w}" height="{h}" fill="url(#ft)"/><rect width="{w}" height="1" fill="{pal["line"]}"/>'
            + left)
    write(name, svg(w, h, body, defs))


def main_footer():
    for folder, pal in FOOT_SETS:
        footer(folder + "MainFoter.svg", 480, 40,
               icon("shield", 20, 12, 16, pal["note"], 1.4)
               + text(42, 25, "Your files, protected on your own computer", 11.5, pal["note_text"]), pal)
        defs = ('<linearGradient id="pill" x1="0" y1="0" x2="0" y2="1">'
                f'<stop offset="0" stop-color="{pal["pill"][0]}"/>'
                f'<stop offset="1" stop-color="{pal["pill"][1]}"/></linearGradient>')
        body = (f'<rect x="0.5" y="0.5" width="171" height="29" rx="14.5" fill="url(#pill)" stroke="{pal["line"]}"/>'
                + icon("globe", 11, 6, 18, pal["glyph"], 1.5)
                + text(36, 19.5, "Visit our website", 12, pal["ink"])
                + icon("link", 148, 9, 12, pal["muted"], 1.4))
        write(folder + "MainFoterR.svg", svg(172, 30, body, defs))


def task_button(name, title, glyph, tint):
    w, h = 260, 76

    def half(x, hot):
        fill = "#F2F7FE" if hot else "#FFFFFF"
        stroke = ACCENT if hot else LINE
        sw = 1.5 if hot else 1
        title_fill = "#1B5AA6" if hot else INK
        shadow = (f'<rect x="{x + 3}" y="5" width="{w - 6}" height="{h - 8}" rx="11" fill="#0F1D31" '
                  f'fill-opacity="{0.10 if hot else 0.06}"/>')
        card = (f'<rect x="{x + 1.5}" y="1.5" width="{w - 3}" height="{h - 5}" rx="11" fill="{fill}" '
                f'stroke="{stroke}" stroke-width="{sw}"/>')
        tile = f'<rect x="{x + 14}" y="12" width="48" height="48" rx="12" fill="url(#t{name})"/>'
        arrow = icon("arrowr", x + w - 28, 28, 16, ACCENT if hot else "#A8B6C8", 1.8)
        return (shadow + card + tile + icon(glyph, x + 24, 22, 28, "#FFFFFF", 2.0)
                + text(x + 74, 42, title, 14.5, title_fill, "bold") + arrow)

    defs = (f'<linearGradient id="t{name}" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="{tint[0]}"/>'
            f'<stop offset="1" stop-color="{tint[1]}"/></linearGradient>')
    write(f"{name}.svg", svg(2 * w, h, half(0, False) + half(w, True), defs))


# ---- Task pages: header with title, repeated band, footer ----
def inner_headers():
    defs = ('<linearGradient id="ih" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{NAVY2}"/><stop offset="1" stop-color="{NAVY}"/></linearGradient>')
    band = f'<rect width="{{w}}" height="60" fill="url(#ih)"/><rect y="57" width="{{w}}" height="3" fill="{ACCENT}"/>'
    for name, title, glyph, sub in (("SecureHeader", "Secure Data", "lock", "Encrypt, wipe or hide files and folders"),
                                    ("HideHeader", "Hide Management", "eyeoff", "Hide items or show them again"),
                                    ("DecryptHeader", "Decrypt Data", "unlock", "Turn encrypted files back into originals")):
        body = (band.format(w=520)
                + f'<rect x="20" y="12" width="34" height="34" rx="9" fill="#FFFFFF" fill-opacity="0.10"/>'
                + icon(glyph, 26, 18, 22, "#FFFFFF", 1.8)
                + text(68, 29, title, 18, "#FFFFFF", "bold")
                + text(68, 46, sub, 11.5, ACCENT_LIGHT))
        write(f"{name}.svg", svg(520, 60, body, defs))
    write("InnerHeaderR.svg", svg(8, 60, band.format(w=8), defs))
    for folder, pal in FOOT_SETS:
        footer(folder + "InnerFoter.svg", 520, 40, pal=pal)
        footer(folder + "InnerFoterR.svg", 8, 40, pal=pal)


# ---- Navigation buttons: strips of four states (normal, hot, pressed, disabled) ----
def nav_button(name, label, glyph, primary, glyph_right):
    w, h = 96, 30
    for folder, pal in FOOT_SETS:
        states = []
        for i, state in enumerate(("normal", "hot", "pressed", "disabled")):
            x = i * w
            if primary:
                fill = {"normal": ACCENT, "hot": ACCENT_HOT, "pressed": ACCENT_DOWN,
                        "disabled": pal["primary_disabled"][0]}[state]
                stroke = fill
                ink = "#FFFFFF" if state != "disabled" else pal["primary_disabled"][1]
            else:
                fill = pal["fill"][state]
                stroke = pal["stroke"][state]
                ink = pal["text"][state]
            dy = 1 if state == "pressed" else 0
            body = (f'<rect x="{x + 0.5}" y="0.5" width="{w - 1}" height="{h - 1}" rx="7" fill="{fill}" '
                    f'stroke="{stroke}"/>')
            if glyph_right:
                fill_glyph = ink if glyph == "play" else "none"
                body += (text(x + 40, 19.5 + dy, label, 12.5, ink, "bold", "middle")
                         + icon(glyph, x + 66, 7 + dy, 16, ink, 1.9, fill_glyph))
            else:
                body += (icon(glyph, x + 13, 7 + dy, 16, ink, 1.9)
                         + text(x + 58, 19.5 + dy, label, 12.5, ink, "bold", "middle"))
            states.append(body)
        write(f"{folder}{name}.svg", svg(4 * w, h, "".join(states)))


def help_button():
    w, h = 96, 30
    for folder, pal in FOOT_SETS:
        body = (f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="7" fill="{pal["fill"]["normal"]}" '
                f'stroke="{pal["stroke"]["normal"]}"/>'
                + icon("help", 13, 7, 16, pal["glyph"], 1.7) + text(58, 19.5, "Help", 12.5, pal["ink"], "bold", "middle"))
        write(f"{folder}Btn_Help.svg", svg(w, h, body))


# ---- Image lists (transparent background) ----
def image_lists():
    welcome = ["gear", "bulb", "help", "chat", "sparkle"]
    body = "".join(icon(g, i * 24 + 2, 2, 20, "#2F5F98", 1.6) for i, g in enumerate(welcome))
    write("WelcomeImageList.svg", svg(24 * len(welcome), 24, body))
    # 0 locked, 1 open, 2 file, 3 encrypted file, 4 folder, 5 web link, 6 hidden, 7 shown, 8 wiped, 9 help
    main = [("lock", ACCENT), ("unlock", TEAL), ("file", "#4F6480"), ("filelock", ACCENT), ("folder", "#C98A1E"),
            ("link", ACCENT), ("eyeoff", VIOLET), ("eye", VIOLET), ("wipe", RED), ("help", ACCENT)]
    parts = []
    for i, (g, c) in enumerate(main):
        fill = "#FCE9B8" if g == "folder" else "#FFFFFF" if g in ("file", "filelock") else "none"
        parts.append(icon(g, i * 16, 0, 16, c, 1.25, fill))
    write("MainImageList.svg", svg(16 * len(main), 16, "".join(parts)))


# ---- Password pictures ----
def badge(name, size, glyph, tint, extra=None):
    r = size * 0.5
    defs = (f'<linearGradient id="b" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="{tint[0]}"/>'
            f'<stop offset="1" stop-color="{tint[1]}"/></linearGradient>')
    body = f'<circle cx="{r}" cy="{r}" r="{r - 1}" fill="url(#b)"/>' + icon(glyph, size * 0.22, size * 0.22,
                                                                           size * 0.56, "#FFFFFF", size / 24.0 * 1.1)
    if extra:
        e = size * 0.36
        body += (f'<circle cx="{size - e / 2 - 0.5}" cy="{size - e / 2 - 0.5}" r="{e / 2}" fill="#FFFFFF"/>'
                 + icon(extra[0], size - e + 0.5, size - e + 0.5, e - 2, extra[1], max(1.4, e / 10)))
    write(f"{name}.svg", svg(size, size, body, defs))


def password_pictures():
    blue = ("#3C82D2", "#1B4379")
    badge("MasterPassword", 64, "key", blue)
    badge("SetMasterPassword", 64, "key", blue, ("plus", ACCENT))
    badge("EncryptPassword", 64, "lock", ("#39A08F", "#1E6B60"))
    badge("MasterPasswordSmall", 32, "key", blue)
    badge("EncryptPasswordSmall", 32, "lock", ("#39A08F", "#1E6B60"))
    badge("Progress", 48, "refresh", blue)


# ---- Banners: about, thank-you and evaluation ----
def banner(name, w, h, title, sub, glyph=None):
    defs = MARK_DEFS + ('<linearGradient id="bn" x1="0" y1="0" x2="1" y2="0">'
                        f'<stop offset="0" stop-color="{NAVY2}"/><stop offset="1" stop-color="{NAVY}"/></linearGradient>')
    size = h - 28
    body = f'<rect width="{w}" height="{h}" fill="url(#bn)"/><rect y="{h - 3}" width="{w}" height="3" fill="{ACCENT}"/>'
    if glyph:
        body += (f'<circle cx="{14 + size / 2}" cy="{h / 2 - 1}" r="{size / 2}" fill="#FFFFFF" fill-opacity="0.10"/>'
                 + icon(glyph, 14 + size * 0.2, h / 2 - 1 - size * 0.3, size * 0.6, "#FFFFFF", 2))
    else:
        body += mark(14, 13, size)
    tx = 28 + size
    body += text(tx, h / 2 + 2, title, 22 if h > 80 else 19, "#FFFFFF") + text(tx + 1, h / 2 + 21, sub, 12, ACCENT_LIGHT)
    write(f"{name}.svg", svg(w, h, body, defs))


# ---- Summary pictures of the security options page (resource module 4050-4054) ----
def summary(number, steps):
    n = len(steps)
    slot, gap, margin = 80, 24, 4
    w, h = 2 * margin + n * slot + (n - 1) * gap, 64
    body = ""
    for i, (glyph, colour, label) in enumerate(steps):
        x = margin + i * (slot + gap) + (slot - 48) / 2
        body += (f'<rect x="{x + 8}" y="2" width="32" height="32" rx="9" fill="{colour}" fill-opacity="0.12" '
                 f'stroke="{colour}" stroke-opacity="0.45"/>' + icon(glyph, x + 13, 7, 22, colour, 1.7)
                 + text(x + 24, 52, label, 10.5, MUTED, anchor="middle"))
        if i < n - 1:
            a0, a1 = x + 46, x + slot + gap + 2
            body += (f'<path d="M{a0} 18H{a1}" stroke="#A8B6C8" stroke-width="1.5" stroke-linecap="round"/>'
                     f'<path d="M{a1 - 5} 13.5L{a1} 18L{a1 - 5} 22.5" fill="none" stroke="#A8B6C8" '
                     f'stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>')
    write(f"res/bmp-{number}.svg", svg(w, h, body))


# ---- Icons of the resource module for the pages' icon buttons (drawn on a 32-unit grid and
# rendered at 64 pixels, so that they stay sharp when shown at 16 to 32 pixels on any screen) ----
def res_icon(number, glyph, colour, badge=None, fill="none"):
    body = icon(glyph, 1, 1, 28, colour, 2.2, fill)
    if badge:
        bglyph, bcolour = badge
        body += ('<circle cx="24" cy="24" r="7.5" fill="#FFFFFF"/>'
                 f'<circle cx="24" cy="24" r="6.5" fill="{bcolour}"/>' + icon(bglyph, 19, 19, 10, "#FFFFFF", 1.6))
    write(f"res/icon-{number}.svg",
          f'<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 32 32">\n{body}\n</svg>\n')


def res_icons():
    res_icon(4033, "eye", INK)                                  # show the typed characters
    res_icon(4040, "file", "#4F6480", ("eyeoff", VIOLET), "#FFFFFF")     # hide files
    res_icon(4046, "folder", "#C98A1E", ("eyeoff", VIOLET), "#FCE9B8")   # hide a folder
    res_icon(4045, "eye", VIOLET)                               # show hidden items again
    res_icon(4048, "eye", VIOLET, ("unlock", TEAL))             # show again and decrypt
    res_icon(4041, "file", "#4F6480", ("plus", ACCENT), "#FFFFFF")       # add files
    res_icon(4042, "folder", "#C98A1E", ("plus", ACCENT), "#FCE9B8")     # add a folder
    res_icon(4047, "unlock", TEAL)                              # decrypt


def summaries():
    item = ("file", "#4F6480", "Your items")
    enc = ("filelock", ACCENT, "Encrypted")
    summary(4050, [item, enc])
    summary(4051, [item, enc, ("wipe", RED, "Originals wiped"), ("eyeoff", VIOLET, "Hidden")])
    summary(4052, [item, enc, ("wipe", RED, "Originals wiped")])
    summary(4053, [item, ("eyeoff", VIOLET, "Hidden")])
    summary(4054, [item, ("wipe", RED, "Wiped for good")])


if __name__ == "__main__":
    app_icon()
    main_header()
    main_footer()
    task_button("Btn_SecureData", "Secure Data", "lock", ("#4A8EDB", "#1F4F8C"))
    task_button("Btn_HideManagment", "Hide Management", "eyeoff", ("#7A82D0", "#454C9A"))
    task_button("Btn_Decrypt", "Decrypt Data", "unlock", ("#3FAE9C", "#1E6B60"))
    inner_headers()
    help_button()
    nav_button("Btn_Next", "Next", "arrowr", True, True)
    nav_button("Btn_Start", "Start", "play", True, True)
    nav_button("Btn_Previous", "Back", "arrowl", False, False)
    nav_button("BtnHome", "Home", "home", False, False)
    image_lists()
    password_pictures()
    banner("AboutHeader", 420, 96, "Halvo Norvane", "Data security for your desktop")
    banner("ThankHeader", 420, 72, "Thank you", "Your items were processed", "check")
    banner("HeaderTiral", 420, 72, "Evaluation copy", "All features, for a limited time", "clock")
    summaries()
    res_icons()
