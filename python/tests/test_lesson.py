# SPDX-License-Identifier: Apache-2.0
"""docs/python.md runs as written: its code prints the text the page shows and
draws its figure.

With TOLVANE_LESSON_FIGURES set to a folder (docs/figures), the figure is
written there; otherwise into a temporary folder, and compared with the
page's figure pixel for pixel.
"""

import contextlib
import io
import os
import pathlib
import re

import pytest

CHECKOUT = pathlib.Path(__file__).resolve().parents[2]
LESSON = CHECKOUT / "docs" / "python.md"


def fenced_blocks(markdown: str, language: str):
    return re.findall(rf"^```{language}\n(.*?)^```$", markdown, flags=re.MULTILINE | re.DOTALL)


def test_fenced_blocks_are_found_in_order():
    page = "text\n```python\na = 1\n```\n```text\n1\n```\n```python\nb = 2\n```\n"
    assert fenced_blocks(page, "python") == ["a = 1\n", "b = 2\n"]
    assert fenced_blocks(page, "text") == ["1\n"]


def test_lesson_prints_what_the_page_shows_and_draws_the_figure(tmp_path, monkeypatch):
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    page = LESSON.read_text(encoding="utf-8")
    code, shown = fenced_blocks(page, "python"), fenced_blocks(page, "text")
    assert len(code) == 3 and len(shown) == 2

    folder = pathlib.Path(os.environ.get("TOLVANE_LESSON_FIGURES", tmp_path / "figures")).resolve()
    folder.mkdir(parents=True, exist_ok=True)
    monkeypatch.chdir(folder.parent)
    if folder.name != "figures":
        pytest.fail("TOLVANE_LESSON_FIGURES must name a folder called figures (docs/figures)")

    printed = io.StringIO()
    namespace = {"__name__": "__lesson__"}
    with contextlib.redirect_stdout(printed):
        for block in code:
            exec(compile(block, str(LESSON), "exec"), namespace)
    assert printed.getvalue() == "".join(shown)

    figure = folder / "python_lesson.png"
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    image = matplotlib.image.imread(figure)
    assert image.shape[:2] == (320, 800)
    # Drawn lines, not an empty canvas: many colours.
    assert len({tuple(pixel) for pixel in image.reshape(-1, image.shape[2])[::7]}) > 50
    # The page shows what its code draws now.
    published = CHECKOUT / "docs" / "figures" / "python_lesson.png"
    if figure.resolve() != published.resolve():
        differing = (matplotlib.image.imread(published) != image).any(axis=-1).sum()
        assert differing == 0, (
            f"{differing} pixels of docs/figures/python_lesson.png differ from what the lesson draws; "
            "write it anew with TOLVANE_LESSON_FIGURES=docs/figures"
        )
    matplotlib.pyplot.close("all")
