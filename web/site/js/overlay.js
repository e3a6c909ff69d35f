// Boxes drawn inside the page, over the court: the game's message boxes and the page's own
// questions. The browser's alert() and confirm() are never used: they end full screen and look
// foreign. A box has a caption, a text and its buttons, and is answered by a click, by the keys a
// desktop message box answers to, or by a gamepad (see main.js).

export class CourtOverlay {
  // `layer` covers the court; the box is built inside it.
  constructor(layer) {
    this.layer = layer;
    this.box = document.createElement('div');
    this.box.className = 'court-box';
    this.box.setAttribute('role', 'alertdialog');
    this.box.setAttribute('aria-modal', 'true');
    this.caption = document.createElement('div');
    this.caption.className = 'court-box-caption';
    this.text = document.createElement('p');
    this.text.className = 'court-box-text';
    this.row = document.createElement('div');
    this.row.className = 'court-box-buttons';
    this.box.tabIndex = -1;
    this.caption.id = `${layer.id}-caption`;
    this.text.id = `${layer.id}-text`;
    this.box.setAttribute('aria-labelledby', this.caption.id);
    this.box.setAttribute('aria-describedby', this.text.id);
    this.box.append(this.caption, this.text, this.row);
    this.layer.append(this.box);
    this.current = null;
  }

  get open() {
    return this.current !== null;
  }

  // Shows a box in place of any other. `buttons`: [{label, value}], the first the default that
  // Enter gives; each also answers to its label's first letter, as a desktop box's do (a box
  // without buttons only shows its text until it is closed). `escape`:
  // the value Esc gives, or undefined where Esc does nothing. `onAnswer(value)` is called once,
  // after the box has closed (it may open the next one).
  show({caption = 'Tandemhoop', text, buttons, escape, onAnswer}) {
    this.caption.textContent = caption;
    this.text.textContent = text;
    this.row.replaceChildren(...buttons.map(({label, value}) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = label;
      button.addEventListener('click', () => this.choose(value));
      return button;
    }));
    this.current = {buttons, escape, onAnswer};
    this.layer.hidden = false;
    (this.row.firstChild ?? this.box).focus({preventScroll: true});
  }

  close() {
    this.current = null;
    this.layer.hidden = true;
  }

  // Answers the box with `value`, if it offers it.
  choose(value) {
    const current = this.current;
    if (current === null || !current.buttons.some((button) => button.value === value)) return;
    this.close();
    current.onAnswer(value);
  }

  chooseDefault() {
    if (this.current !== null && this.current.buttons.length > 0) {
      this.choose(this.current.buttons[0].value);
    }
  }

  // A key pressed while the box is open: true when the box took it. A held key's repeats do
  // nothing, so that a key held as the box opened cannot answer it unseen.
  key(event) {
    const current = this.current;
    if (current === null || event.ctrlKey || event.metaKey || event.altKey) return false;
    if (event.repeat) return true;
    const buttons = [...this.row.children];
    const focused = buttons.indexOf(document.activeElement);
    switch (event.code) {
      case 'Enter':
      case 'NumpadEnter':
        this.chooseDefault();
        return true;
      case 'Space':
        if (focused >= 0) this.choose(current.buttons[focused].value);
        return true;
      case 'Escape':
        if (current.escape !== undefined) this.choose(current.escape);
        return true;
      case 'Tab':
      case 'ArrowLeft':
      case 'ArrowRight':
      case 'ArrowUp':
      case 'ArrowDown': {
        const back = event.code === 'ArrowLeft' || event.code === 'ArrowUp' ||
                     (event.code === 'Tab' && event.shiftKey);
        if (buttons.length === 0) return true;
        const next = (Math.max(focused, 0) + (back ? buttons.length - 1 : 1)) % buttons.length;
        buttons[next].focus({preventScroll: true});
        return true;
      }
      default: {
        const letter = event.key.length === 1 ? event.key.toLowerCase() : '';
        const button = current.buttons.find(({label}) => label[0].toLowerCase() === letter);
        if (button !== undefined) this.choose(button.value);
        return true;
      }
    }
  }
}
