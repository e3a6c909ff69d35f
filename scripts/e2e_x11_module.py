"""scripts/e2e-x11 as a module: the end-to-end scripts beside it build their plays on its game
driver, screen grabs and checks."""

import os
import sys
import types

sys.dont_write_bytecode = True  # nothing left beside the scripts

_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "e2e-x11")
x11 = types.ModuleType("e2e_x11")
x11.__file__ = _path
with open(_path) as _source:
    exec(compile(_source.read(), _path, "exec"), x11.__dict__)
